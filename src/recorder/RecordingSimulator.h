// Stands between the client and the real simulator bridge while the recorder
// is on: every operation is passed on unchanged, with the snapshot handed to
// the bridge before and taken back after, and every read and write is told to
// the recorder. The client sees the same values and the same answers.
#pragma once

#include "sim/FlightSimulatorInterface.h"

#include <memory>

class CFlightRecorder;

class CRecordingSimulator : public CFlightSimulatorInterface {
public:
    CRecordingSimulator(std::unique_ptr<CFlightSimulatorInterface> bridge, CFlightRecorder& recorder);
    ~CRecordingSimulator() override;

    CFlightSimulatorInterface& bridge() { return *inner; }

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
    void setTextOutput(bool enabled) override;
    bool showText(const std::string& text, int seconds, bool force) override;
    bool isConnected() override;
    void distributeFuel(int kg) override;
    std::string getVersionText() override;
    std::string getRequiredVersionText() override;
    bool checkVersion() override;
    int getSimulatorVersion() override;
    std::string getSimulatorIdent() override;
    void checkFrequently() override;
    void resetFlightTimer() override;
    bool pauseSimulator() override;
    bool saveFlight(int number) override;
    void toggleLandingLights() override;

private:
    // Runs an operation on the bridge with the snapshot synchronised both ways.
    template <class Op> auto pass(Op op);
    // The same for the reads, which record their changes themselves.
    template <class Op> auto passRead(Op op);
    void recordUpdate(const CFlightSimulatorObjects& before);
    void recordRead(int kind, std::int64_t result, const CFlightSimulatorObjects& before);
    void recordWrite(int kind, std::vector<std::int64_t> arguments, const std::string& text, bool result);

    std::unique_ptr<CFlightSimulatorInterface> inner;
    CFlightRecorder& recorder;
};
