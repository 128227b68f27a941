// CRecordingSimulator: pass-through with the snapshot copied to the bridge and back.
#include "recorder/RecordingSimulator.h"

#include "recorder/FlightRecorder.h"

#include <cstring>

CRecordingSimulator::CRecordingSimulator(std::unique_ptr<CFlightSimulatorInterface> bridge,
                                         CFlightRecorder& flightRecorder)
    // The bridge's channel: the checks the base class runs log as they did.
    : CFlightSimulatorInterface(bridge->booking(), bridge->getInterfaceName(), bridge->debugLog().getName()),
      inner(std::move(bridge)), recorder(flightRecorder)
{
    static_cast<CFlightSimulatorObjects&>(*this) = *inner;
}

CRecordingSimulator::~CRecordingSimulator() = default;

template <class Op>
auto CRecordingSimulator::pass(Op op)
{
    const CFlightSimulatorObjects before = *this;
    static_cast<CFlightSimulatorObjects&>(*inner) = *this;
    if constexpr (std::is_void_v<decltype(op(*inner))>) {
        op(*inner);
        static_cast<CFlightSimulatorObjects&>(*this) = *inner;
        recordUpdate(before);
    } else {
        auto result = op(*inner);
        static_cast<CFlightSimulatorObjects&>(*this) = *inner;
        recordUpdate(before);
        return result;
    }
}

template <class Op>
auto CRecordingSimulator::passRead(Op op)
{
    static_cast<CFlightSimulatorObjects&>(*inner) = *this;
    auto result = op(*inner);
    static_cast<CFlightSimulatorObjects&>(*this) = *inner;
    return result;
}

void CRecordingSimulator::recordUpdate(const CFlightSimulatorObjects& before)
{
    if (recorder.isRecording() && CSnapshotCodec::differ(before, *this))
        recorder.read(Recording::ReadUpdate, 0, before, *this);
}

void CRecordingSimulator::recordRead(int kind, std::int64_t result, const CFlightSimulatorObjects& before)
{
    if (recorder.isRecording())
        recorder.read(static_cast<Recording::ReadKind>(kind), result, before, *this);
}

void CRecordingSimulator::recordWrite(int kind, std::vector<std::int64_t> arguments, const std::string& text,
                                      bool result)
{
    if (recorder.isRecording())
        recorder.write(static_cast<Recording::WriteKind>(kind), arguments, text, result);
}

bool CRecordingSimulator::getEverything()
{
    const CFlightSimulatorObjects before = *this;
    const bool ok = passRead([](CFlightSimulatorInterface& s) { return s.getEverything(); });
    recordRead(Recording::ReadEverything, ok ? 1 : 0, before);
    return ok;
}

int CRecordingSimulator::getAircraftTanks()
{
    const CFlightSimulatorObjects before = *this;
    const int result = passRead([](CFlightSimulatorInterface& s) { return s.getAircraftTanks(); });
    recordRead(Recording::ReadTanks, result, before);
    return result;
}

bool CRecordingSimulator::updateFlightTimer()
{
    const CFlightSimulatorObjects before = *this;
    const bool ok = passRead([](CFlightSimulatorInterface& s) { return s.updateFlightTimer(); });
    recordRead(Recording::ReadTimer, ok ? 1 : 0, before);
    return ok;
}

int CRecordingSimulator::setAircraftTanks()
{
    const int result = pass([](CFlightSimulatorInterface& s) { return s.setAircraftTanks(); });
    std::vector<std::int64_t> levels;
    for (float level : fTankLevel) {
        std::uint32_t bits;
        std::memcpy(&bits, &level, sizeof bits);
        levels.push_back(bits);
    }
    recordWrite(Recording::WriteTanks, levels, "", result >= 0);
    return result;
}

bool CRecordingSimulator::failEngine(int engine, bool quiet)
{
    const bool ok = pass([&](CFlightSimulatorInterface& s) { return s.failEngine(engine, quiet); });
    recordWrite(Recording::WriteFailEngine, {engine, quiet ? 1 : 0}, "", ok);
    return ok;
}

bool CRecordingSimulator::applyFailure(int kind)
{
    const bool ok = pass([&](CFlightSimulatorInterface& s) { return s.applyFailure(kind); });
    recordWrite(Recording::WriteFailure, {kind}, "", ok);
    return ok;
}

bool CRecordingSimulator::setSimulationRate(int rate)
{
    const bool ok = pass([&](CFlightSimulatorInterface& s) { return s.setSimulationRate(rate); });
    recordWrite(Recording::WriteSimulationRate, {rate}, "", ok);
    return ok;
}

bool CRecordingSimulator::disableSlew()
{
    const bool ok = pass([](CFlightSimulatorInterface& s) { return s.disableSlew(); });
    recordWrite(Recording::WriteSlew, {}, "", ok);
    return ok;
}

bool CRecordingSimulator::showText(const std::string& text, int seconds, bool force)
{
    const bool ok = pass([&](CFlightSimulatorInterface& s) { return s.showText(text, seconds, force); });
    recordWrite(Recording::WriteText, {seconds, force ? 1 : 0}, text, ok);
    return ok;
}

bool CRecordingSimulator::pauseSimulator()
{
    const bool ok = pass([](CFlightSimulatorInterface& s) { return s.pauseSimulator(); });
    recordWrite(Recording::WritePause, {}, "", ok);
    return ok;
}

bool CRecordingSimulator::saveFlight(int number)
{
    const bool ok = pass([&](CFlightSimulatorInterface& s) { return s.saveFlight(number); });
    recordWrite(Recording::WriteSave, {number}, "", ok);
    return ok;
}

bool CRecordingSimulator::connect()
{
    return pass([](CFlightSimulatorInterface& s) { return s.connect(); });
}

void CRecordingSimulator::disconnect()
{
    pass([](CFlightSimulatorInterface& s) { s.disconnect(); });
}

void CRecordingSimulator::setTextOutput(bool on)
{
    pass([&](CFlightSimulatorInterface& s) { s.setTextOutput(on); });
}

bool CRecordingSimulator::isConnected()
{
    return pass([](CFlightSimulatorInterface& s) { return s.isConnected(); });
}

void CRecordingSimulator::distributeFuel(int kg)
{
    pass([&](CFlightSimulatorInterface& s) { s.distributeFuel(kg); });
}

std::string CRecordingSimulator::getVersionText()
{
    return pass([](CFlightSimulatorInterface& s) { return s.getVersionText(); });
}

std::string CRecordingSimulator::getRequiredVersionText()
{
    return pass([](CFlightSimulatorInterface& s) { return s.getRequiredVersionText(); });
}

bool CRecordingSimulator::checkVersion()
{
    return pass([](CFlightSimulatorInterface& s) { return s.checkVersion(); });
}

int CRecordingSimulator::getSimulatorVersion()
{
    return pass([](CFlightSimulatorInterface& s) { return s.getSimulatorVersion(); });
}

std::string CRecordingSimulator::getSimulatorIdent()
{
    return pass([](CFlightSimulatorInterface& s) { return s.getSimulatorIdent(); });
}

void CRecordingSimulator::checkFrequently()
{
    pass([](CFlightSimulatorInterface& s) { s.checkFrequently(); });
}

void CRecordingSimulator::resetFlightTimer()
{
    pass([](CFlightSimulatorInterface& s) { s.resetFlightTimer(); });
}

void CRecordingSimulator::toggleLandingLights()
{
    // Not an update of its own: the replay switches the lights again itself.
    passRead([](CFlightSimulatorInterface& s) {
        s.toggleLandingLights();
        return true;
    });
    // The bridge stops following the simulator's switch once the pilot used ours.
    bLandingLightsOverride = inner->isLandingLightsOverridden();
    recordWrite(Recording::WriteLandingLights, {bLandingLights ? 1 : 0}, "", true);
}
