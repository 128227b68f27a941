// The simulator interface over FlightGear's property server (fgfs
// --telnet=<port>): the aircraft's tanks, stations and engines looked up at
// connect, the whole snapshot in one batched get per poll, and property sets
// for what the client changes. A poll missing a required value is no
// snapshot, so a missing property never becomes a zero.
#pragma once

#include "sim/FlightSimulatorInterface.h"
#include "sim/FlightTimer.h"
#include "sim/flightgear/FlightGearProperties.h"
#include "sim/flightgear/FlightGearSettings.h"
#include "sim/flightgear/PropertyConnection.h"

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

class CFlightSimulatorInterfaceUsingFlightGear : public CFlightSimulatorInterface {
public:
    CFlightSimulatorInterfaceUsingFlightGear(CClientInterface& client, const FlightGearSettings& settings);
    ~CFlightSimulatorInterfaceUsingFlightGear() override;

    bool connect() override;
    void disconnect() override;
    int getAircraftTanks() override;
    int setAircraftTanks() override;
    bool getEverything() override;
    bool updateFlightTimer() override;
    bool failEngine(int engine, bool quiet) override;
    bool applyFailure(int kind) override;
    bool setSimulationRate(int rate) override;
    bool disableSlew() override;
    void setTextOutput(bool enabled) override { bTextOutput = enabled; }
    bool showText(const std::string& text, int seconds, bool force) override;
    bool isConnected() override;
    std::string getVersionText() override;
    std::string getRequiredVersionText() override { return {}; }
    bool checkVersion() override;
    int getSimulatorVersion() override;
    std::string getSimulatorIdent() override;
    void checkFrequently() override {}
    void resetFlightTimer() override;
    bool pauseSimulator() override;
    bool saveFlight(int number) override;

    // A connect or a batch waits this long for the property server, which
    // answers once a frame; FlightGear loading scenery on a busy machine
    // holds its frames for seconds.
    static constexpr int kConnectWaitMs = 1000;
    static constexpr int kAnswerWaitMs = 5000;

    const FlightGearProperties::Layout& layout() const { return aircraftLayout; }
    const std::string& aircraftName() const { return aircraft; }

private:
    // One batched get of the poll's properties into `values`.
    bool poll();
    bool write(const std::string& path, const std::string& value);
    void lost(const std::string& why);
    void noEquivalent(const std::string& what);

    FlightGearSettings settings;
    PropertyConnection connection;
    FlightGearProperties::Layout aircraftLayout;
    std::vector<std::string> pollRequest;
    FlightGearProperties::Values values;
    std::string aircraft;
    std::string version;
    bool bTextOutput = false;
    CFlightTimer timer;
    std::set<std::string> notedGaps;
};
