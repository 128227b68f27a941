// The process's one user-interface object: the page machine, the button
// dispatch, and the owner of the flight's objects (server client, simulator
// bridge, report, phase machine, blackbox, sound player).
#pragma once

#include "core/DebugLog.h"
#include "monitor/FlightControl.h"
#include "monitor/failures/Failures.h"
#include "monitor/failures/RandomSource.h"
#include "platform/Toolkit.h"
#include "ui/UserInterfaceUtilities.h"
#include "update/UpdateHost.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

struct AircraftData;
class Window;
class SoundOutput;
class CClientInterface;
class CFlightSimulatorInterface;
class CReport;
class CFlightState;
class CBlackbox;
class CSound;
class CCheatDetector;
class CPagePainter;
class CFlightActions;
class CLoginActions;
class CFlightRecorder;

enum WeightUnit { WeightUnitKg = 0, WeightUnitLbs = 1 };

class CUserInterface : public CUserInterfaceUtilities,
                       public WindowEvents,
                       public CFlightControl,
                       public AutoUpdate::CUpdateHost {
public:
    CUserInterface(Window& window, SoundOutput& soundOutput);
    ~CUserInterface() override;
    CUserInterface(const CUserInterface&) = delete;
    CUserInterface& operator=(const CUserInterface&) = delete;

    // The process's user interface (the most recently constructed one).
    static CUserInterface* getInstance();

    // Installs the simulator bridge; the report, phase machine and blackbox follow it.
    void setSimulator(std::unique_ptr<CFlightSimulatorInterface> simulator);

    // Builds the window's contents once the window exists: the bridge chosen
    // by the options (a bridge installed beforehand is kept), the text
    // rectangles, every control, the login page and the stored options; then
    // the automatic login when it is on.
    void OnCreate();
    // Every control of the window, in creation order; "Exit" highlighted.
    void createControls();

    CClientInterface& getClient() override { return *client; }
    CFlightSimulatorInterface* getSimulator() { return simulator.get(); }
    CReport& getReport() { return *report; }
    CFlightState& getFlightState() { return *flightState; }
    CCheatDetector& getCheatDetector() { return *cheatDetector; }
    CBlackbox& getBlackbox() { return *blackbox; }
    CSound& getSound() { return *sound; }
    CFlightActions& getFlightActions() { return *flightActions; }
    CLoginActions& getLoginActions() { return *loginActions; }
    CFlightRecorder& getFlightRecorder() { return *recorder; }
    Window& getWindow() override { return window; }
    void showDownloadProgress(double fraction) override { setProgress(fraction); }

    int getPage() const { return page; }
    // Shows exactly the controls of the page (after hiding all others) and repaints.
    void SetPage(int newPage);
    void ShowLoading();
    virtual void OnButton(int id);

    // The window's paints and commands. A command of a disabled control is
    // dropped; one of an enabled control clicks before it is carried out.
    void onPaint(Painter& painter) override;
    void onCommand(int id) override;
    void onEditChanged(int id) override;
    void onEndSession() override;

    void ResetFlight();
    // Marks the start of a new flight: per-flight counters kept outside the
    // snapshot (the driver's gear movements) start again. ResetFlight calls it;
    // so does the flight start.
    void beginFlight() { ++flightsBegun; }
    std::uint32_t getFlightsBegun() const { return flightsBegun; }
    // At the flight start, after the start checks: this flight's failures
    // armed (the last flight's dropped) and the blackbox started.
    void startFlightMonitoring();
    // The driver's failure step: whole seconds since departure.
    void updateFailures(std::int32_t elapsed);
    Failures::CFailureList& getFailures() { return failures; }
    // Tests fix the failure draws.
    void setRandomSource(std::unique_ptr<Failures::CRandomSource> source) { random = std::move(source); }
    void AbortFlight(const std::string& text) override;
    int getFuelMethod() const override { return fuelMethod; }
    // One phase step after a successful poll; false once the flight is On Block.
    bool advanceFlightState();

    // The backed-up report page's upload action: loads the backup and checks
    // that its flight is still booked; true when the upload may follow.
    bool restoreForUpload();
    // The aborted-flight page's action: resumes the autosaved flight when the
    // simulator's aircraft matches it; true when the flight goes on.
    bool continueFlight();
    // Tells the pilot that a finished report could be neither sent nor saved.
    void warnIfReportUnsaved();

    // What the backup looked like, kept by restoreForUpload for the flight
    // actions.
    struct RestoreReference {
        double latitude = 0.0;
        double longitude = 0.0;
        double altitude = 0.0;
        double heading = 0.0;
        std::int32_t groundSpeed = 0;
        std::int32_t totalFuel = 0;
    };
    const RestoreReference& getRestoreReference() const { return restoreReference; }

    // Options (settings "settings" section).
    static constexpr int kFuelStandard = 0, kFuelSimple = 1, kFuelReadOnly = 2;
    int fuelMethod = kFuelStandard;
    int autosaveMode = 0; // 0 None, 1 QVL Data only, 2 Flight + Data
    bool trackerOn = false;
    bool fsMessages = false;
    bool autoLogin = false;
    bool soundOn = true;
    bool penaltiesOff = false;
    bool showToggleLightBtn = false;

    // Login state: set by a successful login, never cleared.
    bool loggedIn = false;
    int weightUnit = WeightUnitKg;
    // The comment page offers "Deliver Packages" (the flight actions decide).
    bool offerPackages = false;

    // Pilot status of the pilot record: 2 suspended, 3 blocked; below 2 may fly.
    int pilotStatus() const;

    bool isLoadingPending() const { return loadingPending; }
    bool isRedrawOnInput() const { return redrawOnInput; }
    void setRedrawOnInput(bool on) { redrawOnInput = on; }

    // Hears every page that SetPage shows (the headless client prints them).
    std::function<void(int page)> onPageShown;

private:
    void showFlightInformation();
    void showPageControls(int newPage);
    void showHomeControls();

    void enterLanded();
    void enterTaxi();
    void enterCrashed();
    void scoreTouchdown(bool& endFlight);
    bool loadBackupOrWarn();
    bool fetchBookingOrWarn(bool& notBooked);
    int restoreMismatch(const AircraftData& saved, std::int32_t savedFuel, const std::string& savedArrival);
    void warnBox(const std::string& text, const std::string& title);
    void beginRecording();

    std::unique_ptr<CSound> sound;
    std::unique_ptr<CClientInterface> client;
    // Before the bridge, which may hold on to it.
    std::unique_ptr<CFlightRecorder> recorder;
    std::unique_ptr<CFlightSimulatorInterface> simulator;
    std::unique_ptr<CBlackbox> blackbox;
    std::unique_ptr<CReport> report;
    std::unique_ptr<CFlightState> flightState;
    std::unique_ptr<CCheatDetector> cheatDetector;
    std::unique_ptr<CPagePainter> pagePainter;
    std::unique_ptr<CFlightActions> flightActions;
    std::unique_ptr<CLoginActions> loginActions;
    Failures::CFailureList failures;
    std::unique_ptr<Failures::CRandomSource> random = std::make_unique<Failures::CProcessRandom>();
    CDebugLog log;
    int page = 0;
    bool loadingPending = false;
    bool redrawOnInput = false;
    RestoreReference restoreReference;
    std::uint32_t flightsBegun = 0;
};
