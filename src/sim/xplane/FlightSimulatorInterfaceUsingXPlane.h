// The simulator interface over X-Plane's own UDP interface: every dataref of
// the table subscribed at the rate the client polls at, dataref writes and
// commands for what the client changes. A snapshot is taken only when every
// value has arrived since the last one, so a lost packet never becomes a zero.
#pragma once

#include "platform/UdpNetwork.h"
#include "sim/FlightSimulatorInterface.h"
#include "sim/FlightTimer.h"
#include "sim/xplane/XPlaneDatarefs.h"
#include "sim/xplane/XPlaneSettings.h"

#include <cstdint>
#include <memory>
#include <set>
#include <string>

class CFlightSimulatorInterfaceUsingXPlane : public CFlightSimulatorInterface {
public:
    CFlightSimulatorInterfaceUsingXPlane(CClientInterface& client, const XPlaneSettings& settings);
    ~CFlightSimulatorInterfaceUsingXPlane() override;

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
    void checkFrequently() override;
    void resetFlightTimer() override;
    bool pauseSimulator() override;
    bool saveFlight(int number) override;

    // A simulator that sent nothing for this long is not connected.
    static constexpr std::int64_t kSilenceMs = 3000;
    // connect waits this long for the first answer, and for a beacon when it listens for one.
    static constexpr std::int64_t kAnswerWaitMs = 1000;
    static constexpr std::int64_t kBeaconWaitMs = 1100;
    // X-Plane answers no faster than this many times a second.
    static constexpr int kMaxRate = 20;

    // Answers a second for the polling interval at this height above ground.
    static int rateForHeight(std::int32_t radarAltitudeFt);
    const UdpEndpoint& simulatorAddress() const { return simulator; }
    int subscribedRate() const { return rate; }

private:
    bool openSocket();
    bool findSimulator();
    bool listenForBeacon();
    bool subscribe(int perSecond);
    bool send(const std::vector<std::uint8_t>& packet);
    bool writeDataref(const std::string& name, float value);
    bool runCommand(const std::string& name);
    // Takes every waiting packet; true when one from the simulator answered.
    bool drain();
    void takePacket(const std::uint8_t* data, long size, const UdpEndpoint& from);
    bool complete() const;
    bool waitForComplete();
    void badPacket(const std::string& why);
    void noEquivalent(const std::string& what);
    std::int64_t now() const;

    XPlaneSettings settings;
    std::unique_ptr<UdpSocket> socket;
    std::unique_ptr<UdpSocket> beaconSocket;
    UdpEndpoint simulator;
    bool bConnected = false;
    bool bTextOutput = false;
    std::int64_t lastHeardMs = 0;
    int rate = 0;
    float values[XPlaneDatarefs::Count] = {};
    bool arrived[XPlaneDatarefs::Count] = {};
    bool everArrived[XPlaneDatarefs::Count] = {};
    std::int32_t beaconVersion = 0;
    std::string beaconName;
    CFlightTimer timer;
    unsigned long badPackets = 0;
    unsigned long foreignPackets = 0;
    std::set<std::string> notedGaps;
};
