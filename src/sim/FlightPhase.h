// The flight phase codes the snapshot's lFlightPhase holds, their names as
// the report, the tracker and the event log spell them, and the words rules use.
#pragma once

#include <string>

enum FlightPhase {
    PhaseBoarding = 0,
    PhaseTaxi = 1,
    PhaseTakeOff = 2,
    PhaseLanded = 3,
    PhaseOnBlock = 4,
    PhaseClimb = 5,
    PhaseCruise = 6,
    PhaseDescent = 7,
    PhaseCrashed = 8,
};

// "Undefined" for a code outside the table.
const char* getPhaseName(int code);
// The code of a rule's lower-case phase word (any case); -1 for another word.
int parsePhaseCode(const std::string& text);
