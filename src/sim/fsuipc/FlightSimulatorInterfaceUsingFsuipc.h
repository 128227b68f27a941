// The simulator interface over the simulator-module link: every operation
// queues reads or writes of module offsets, runs one process call and turns
// the raw values into the snapshot's units.
#pragma once

#include "sim/FlightSimulatorInterface.h"
#include "sim/FlightTimer.h"
#include "sim/fsuipc/Fsuipc.h"

#include <cstdint>

class CFlightSimulatorInterfaceUsingFsuipc : public CFlightSimulatorInterface, public CFsuipc {
public:
    explicit CFlightSimulatorInterfaceUsingFsuipc(CClientInterface& client);
    ~CFlightSimulatorInterfaceUsingFsuipc() override;

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
    bool isConnected() override { return isOpen(); }
    std::string getVersionText() override;
    std::string getRequiredVersionText() override;
    bool checkVersion() override;
    int getSimulatorVersion() override;
    std::string getSimulatorIdent() override;
    void checkFrequently() override {}
    void resetFlightTimer() override {}
    bool pauseSimulator() override;
    bool saveFlight(int number) override;

    static constexpr int kMaxPayloadStations = 61;
    static constexpr std::uint32_t kPayloadStationSize = 48;

private:
    // Raw values of one full poll, in the module's own units.
    struct RawPoll {
        std::uint16_t pause = 0, pauseIndicator = 0, landingLights = 0, simRate = 0;
        std::int64_t latitude = 0, longitude = 0;
        std::int32_t radarAltitude = 0, groundElevation = 0, verticalSpeed = 0, touchdownSpeed = 0;
        double pressureAltitude = 0.0;
        std::uint16_t crashed = 0, parkingBrake = 0, onGround = 0, slew = 0, magVar = 0, lights = 0, gearType = 0;
        std::int16_t engines = 0;
        std::int32_t indicatedAirspeed = 0, groundSpeed = 0, maxGross = 0, zeroFuel = 0, stationCount = 0;
        std::int32_t heading = 0, gearHandle = 0, flaps = 0, surface = 0;
        std::uint8_t stations[kMaxPayloadStations * kPayloadStationSize] = {};
    };

    bool queuePoll(RawPoll& raw);
    bool switchOffSlew(const RawPoll& raw);
    void convertPoll(const RawPoll& raw);
    void convertPayload(const RawPoll& raw);
    bool readFuelWeight();
    bool writeByte(std::uint32_t offset, std::uint8_t value);
    bool writeWord(std::uint32_t offset, std::uint16_t value);
    bool readSimulatorWords(std::uint16_t& version, std::uint8_t& subVersion);

    std::int32_t lFuelWeightRaw = 0;
    float fFuelWeightLbsPerGallon = 0.0f;
    float fFuelWeightKgPerGallon = 0.0f;
    bool bTextOutput = false;
    CFlightTimer timer;
};
