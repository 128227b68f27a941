// The load-sheet and fuel buttons before a flight: fuel fields in and out,
// "Fuel Up!", "Load Initial Fuel!", "Back", the three "Change" buttons and
// the reserve "+"/"-".
#pragma once

#include "core/DebugLog.h"

#include <cstdint>

class CActionHost;
class CFlightSimulatorInterface;
struct AircraftTypeData;

class CLoadSheetActions {
public:
    static constexpr int kFuelUpToleranceKg = 25;

    explicit CLoadSheetActions(CActionHost& ui);

    // The typed fuel figures into the snapshot's tanks.
    void takeFuelInputs();
    // The snapshot's fuel into the fields; forceRead polls the tanks first.
    void fillFuelFields(bool forceRead);
    // Which load-sheet buttons the weights allow.
    void updateLoadSheetButtons();

    void fuelUp();
    void loadInitialFuel();
    void back();
    void changePassengers();
    void changeCargo();
    void changeFuel();
    void reservePlus();
    void reserveMinus();

    // Reserve fuel per hour of flight, kg; 0 for an aircraft without a range.
    static std::int32_t hourlyReserveRate(const AircraftTypeData& types);

private:
    bool readOnly() const;
    bool simpleFuel() const;
    void enableButton(int id, bool enabled);
    void showButton(int id, bool visible);
    void setFuelPage(int page);

    CActionHost& ui;
    CDebugLog log;
};
