// The names and words of the flight phases.
#include "sim/FlightPhase.h"

#include <cctype>

const char* getPhaseName(int code)
{
    switch (code) {
    case PhaseBoarding: return "Boarding";
    case PhaseTaxi: return "Taxi";
    case PhaseTakeOff: return "Take Off";
    case PhaseLanded: return "Landed";
    case PhaseOnBlock: return "On Block";
    case PhaseClimb: return "Climb";
    case PhaseCruise: return "Cruise";
    case PhaseDescent: return "Descent";
    case PhaseCrashed: return "Crashed";
    default: return "Undefined";
    }
}

int parsePhaseCode(const std::string& text)
{
    std::string lower;
    for (char c : text)
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    static const struct {
        const char* word;
        int code;
    } kWords[] = {{"boarding", 0}, {"taxi", 1},    {"takeoff", 2}, {"climb", 5},
                  {"cruise", 6},   {"descent", 7}, {"landed", 3}};
    for (const auto& w : kWords) {
        if (lower == w.word)
            return w.code;
    }
    return -1;
}
