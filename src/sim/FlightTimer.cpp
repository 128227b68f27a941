// CFlightTimer: the jump rules of the simulator clock.
#include "sim/FlightTimer.h"

#include "core/DebugLog.h"
#include "core/FixedText.h"
#include "core/NumberConversion.h"

#include <cmath>
#include <cstdio>
#include <sstream>

namespace {
std::string streamed(const char* text, double value)
{
    std::ostringstream s;
    s << text << value;
    return s.str();
}
} // namespace

void formatTimeOfDay(char (&out)[5], double seconds)
{
    double t = std::fmod(finiteOrZero(seconds), 86400.0);
    if (t < 0.0)
        t += 86400.0;
    const double hours = std::floor(t / 3600.0);
    const int minutes = static_cast<int>((t / 3600.0 - hours) * 60.0);
    char text[16];
    std::snprintf(text, sizeof text, "%02d%02d", static_cast<int>(hours), minutes);
    copyText(out, text);
}

CFlightTimer::CFlightTimer(Style timerStyle, CDebugLog& channel) : style(timerStyle), log(channel) {}

void CFlightTimer::reset()
{
    initialised = false;
    initValue = 0.0;
    previous = 0.0;
}

CFlightTimer::Result CFlightTimer::update(double t)
{
    const bool simConnect = style == Style::SimConnect;
    if (!std::isfinite(t)) {
        // A garbled clock reading changes nothing; the next good one carries on.
        log.errorf("FlightTimer ignored an invalid clock reading");
        return Result{previous, false};
    }
    if (!initialised) {
        initialised = true;
        initValue = t;
        previous = 0.0;
        if (simConnect)
            log.debug(streamed("FlightTimer initialized: InitValue = ", initValue));
    }
    Result r;
    double flightTime = t - initValue;
    if (simConnect && flightTime < -0.5 && t < 120.0) {
        flightTime += 86400.0;
        initValue -= 86400.0;
        log.debug(streamed("FlightTimer reinitialized: InitValue = ", initValue));
    }
    if (flightTime < previous) {
        const double diff = previous - flightTime;
        if (simConnect)
            log.warn(streamed("FlightTimer decreased: InitValue -= ", diff));
        else
            log.errorf("FlightTimer decreased: InitValue -= %lf", diff);
        initValue -= diff;
        flightTime = previous;
    }
    if (flightTime - previous > 600.0) {
        const double diff = flightTime - previous;
        if (simConnect)
            log.warn(streamed("FlightTimer raised too fast: InitValue += ", diff));
        else
            log.errorf("FlightTimer raised too fast: InitValue += %lf", diff);
        initValue += diff;
        flightTime = previous;
        r.jumpCut = true;
    }
    previous = flightTime;
    r.flightTime = flightTime;
    return r;
}
