// The simulator interface over the simulator's own client library, loaded at
// run time: data definitions requested once per poll, client events for the
// simulation rate and pause, and the frame and crash events it pushes.
#pragma once

#include "sim/FlightSimulatorInterface.h"
#include "sim/FlightTimer.h"
#include "sim/simconnect/SimConnectLibrary.h"

#include <cstdint>
#include <string>
#include <vector>

class CFlightSimulatorInterfaceUsingSdk : public CFlightSimulatorInterface {
public:
    explicit CFlightSimulatorInterfaceUsingSdk(CClientInterface& client);
    ~CFlightSimulatorInterfaceUsingSdk() override;

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
    bool isConnected() override { return bConnected; }
    std::string getVersionText() override { return szSimConnectVersion; }
    std::string getRequiredVersionText() override;
    bool checkVersion() override;
    int getSimulatorVersion() override;
    std::string getSimulatorIdent() override;
    void checkFrequently() override;
    void resetFlightTimer() override;
    bool pauseSimulator() override;
    bool saveFlight(int number) override;

    // Waiting for an answer: passes, each taking every pending message, then a pause.
    static constexpr int kWaitPasses = 100;
    static constexpr std::uint32_t kWaitPassMs = 5;

private:
    enum class Awaited : std::uint32_t { Open = 2, ObjectData = 8, SystemState = 15 };
    using Message = std::vector<std::uint8_t>;

    void registerDefinitions();
    bool requestOnce(std::uint32_t request, std::uint32_t define);
    bool waitFor(Awaited kind, std::uint32_t request, Message& answer);
    bool takeMessage(Message& message);
    bool objectDataFor(std::uint32_t request, Message& data);
    void handleEvent(const Message& message);
    void storeVersions(const Message& open);
    bool writeInt(std::uint32_t define, std::int32_t value);
    bool transmit(std::uint32_t event);
    void convertPoll(const std::uint8_t* data);
    double sumPayload(std::int32_t stationCount, const double* stations) const;

    CSimConnectLibrary library;
    SimConnectApi::HANDLE hSimConnect = nullptr;
    bool bConnected = false;
    float fFuelWeightKgPerGallon = 0.0f;
    bool bTextOutput = false;
    CFlightTimer timer;
    std::string szSimConnectVersion;
    std::string szApplicationVersion;
    std::string szApplicationName;
};
