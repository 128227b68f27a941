// CReplaySimulator: reads served and writes checked off in recorded order.
#include "recorder/ReplaySimulator.h"

CReplaySimulator::CReplaySimulator(CClientInterface& client, CRecordingReader& reader, SetClock clock)
    : CFlightSimulatorInterface(client, reader.start().interfaceName, "CReplaySimulator"), recording(reader),
      setClock(std::move(clock))
{
}

const Recording::Entry* CReplaySimulator::peek()
{
    if (!aheadRead) {
        aheadValid = recording.next(ahead);
        aheadRead = true;
    }
    return aheadValid ? &ahead : nullptr;
}

void CReplaySimulator::advance()
{
    peek();
    aheadRead = false;
    ++cursor;
}

void CReplaySimulator::apply(const Recording::Entry& entry)
{
    for (const FieldChange& change : entry.changes)
        CSnapshotCodec::apply(*this, change);
    if (setClock)
        setClock(entry.timeMs);
}

void CReplaySimulator::diverged(const std::string& what)
{
    if (divergences++ == 0)
        divergence = what + " at record " + std::to_string(cursor);
}

void CReplaySimulator::applyUpdates()
{
    while (const Recording::Entry* e = peek()) {
        if (e->tag != Recording::TagRead || e->kind != Recording::ReadUpdate)
            return;
        apply(*e);
        advance();
    }
}

std::int64_t CReplaySimulator::serveRead(Recording::ReadKind kind, std::int64_t otherwise)
{
    applyUpdates();
    const Recording::Entry* e = peek();
    if (e == nullptr || e->tag != Recording::TagRead || e->kind != kind) {
        diverged("a read the flight did not make");
        return otherwise;
    }
    apply(*e);
    advance();
    return e->result;
}

bool CReplaySimulator::getEverything()
{
    return serveRead(Recording::ReadEverything, 1) != 0;
}

int CReplaySimulator::getAircraftTanks()
{
    return static_cast<int>(serveRead(Recording::ReadTanks, fuelOnBoardRounded()));
}

bool CReplaySimulator::updateFlightTimer()
{
    return serveRead(Recording::ReadTimer, 1) != 0;
}

int CReplaySimulator::nextDraw()
{
    applyUpdates();
    const Recording::Entry* e = peek();
    if (e == nullptr || e->tag != Recording::TagDraw) {
        diverged("a failure draw the flight did not make");
        return 0;
    }
    advance();
    return static_cast<int>(e->result);
}

bool CReplaySimulator::checkWrite(Recording::WriteKind kind)
{
    applyUpdates();
    const Recording::Entry* e = peek();
    if (e != nullptr && e->tag == Recording::TagWrite && e->kind == kind) {
        ++writesMatched;
        advance();
        return e->result != 0;
    }
    ++writesUnmatched;
    return true;
}

int CReplaySimulator::setAircraftTanks()
{
    return checkWrite(Recording::WriteTanks) ? fuelOnBoardRounded() : -1;
}

bool CReplaySimulator::failEngine(int, bool)
{
    return checkWrite(Recording::WriteFailEngine);
}

bool CReplaySimulator::applyFailure(int)
{
    return checkWrite(Recording::WriteFailure);
}

bool CReplaySimulator::setSimulationRate(int)
{
    return checkWrite(Recording::WriteSimulationRate);
}

bool CReplaySimulator::disableSlew()
{
    return checkWrite(Recording::WriteSlew);
}

bool CReplaySimulator::showText(const std::string&, int, bool)
{
    return checkWrite(Recording::WriteText);
}

bool CReplaySimulator::pauseSimulator()
{
    return checkWrite(Recording::WritePause);
}

bool CReplaySimulator::saveFlight(int)
{
    return checkWrite(Recording::WriteSave);
}

void CReplaySimulator::toggleLandingLights()
{
    bLandingLights = !bLandingLights;
    bLandingLightsOverride = true;
    checkWrite(Recording::WriteLandingLights);
}
