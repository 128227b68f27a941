// The flight buttons: load sheet and fuel, start checks and flight start,
// diversion, end of flight, comment, report pages, backed-up report and
// aborted flight, Exit and the update download.
#pragma once

#include "core/DebugLog.h"
#include "ui/FlightEnd.h"
#include "ui/FlightStart.h"
#include "ui/LoadSheetActions.h"
#include "update/AutoUpdate.h"

class CActionHost;

class CFlightActions {
public:
    explicit CFlightActions(CActionHost& ui);

    // Carries out the action of a flight button; false when `id` is not one.
    bool onButton(int id);

    // Load-sheet steps the fuel and load-sheet pages run before they draw.
    void takeFuelInputs() { loadSheet.takeFuelInputs(); }
    void updateLoadSheetButtons() { loadSheet.updateLoadSheetButtons(); }
    // The snapshot's fuel into the fuel fields, as a fuel page does when it opens.
    void fillFuelFields(bool forceRead) { loadSheet.fillFuelFields(forceRead); }

    AutoUpdate::CAutoUpdate& getAutoUpdate() { return autoUpdate; }
    CFlightEnd& getFlightEnd() { return flightEnd; }

    // "Exit" at log-off or shutdown: nobody is there to answer, and a flight
    // under way keeps its autosave to be continued at the next start.
    void endSession();

private:
    void exit();
    void endFlightOrFinish();
    void next();
    void backToLogin();
    void startUpdate();
    void abortUpdate();
    void showBackup();
    void uploadBackup();
    void deleteBackup();
    void continueFlight();

    CActionHost& ui;
    CLoadSheetActions loadSheet;
    CFlightStart flightStart;
    CFlightEnd flightEnd;
    AutoUpdate::CAutoUpdate autoUpdate;
    CDebugLog log;
};
