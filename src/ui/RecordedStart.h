// What a flight recording keeps of the flight start (booking records,
// options, rules, airports) taken from the user interface's objects, and put
// back into them for a replay.
#pragma once

#include "recorder/FlightRecording.h"

class CActionHost;
class CClientInterface;

namespace RecordedStart {

Recording::Start capture(CActionHost& ui);
// The booking, options, rules and airports of the recording; the simulator's
// snapshot is the replay's own business.
void restore(CActionHost& ui, const Recording::Start& start);
std::vector<Recording::Airport> airports(const CClientInterface& client);
void restoreAirports(CClientInterface& client, const std::vector<Recording::Airport>& airports);

} // namespace RecordedStart
