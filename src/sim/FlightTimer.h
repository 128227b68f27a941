// The flight timer both bridges share: simulator seconds since the first
// reading, guarded against the clock running backwards, jumping ahead by more
// than ten minutes, and (for time-of-day clocks) rolling over at midnight.
#pragma once

class CDebugLog;

// "%02d%02d" of a time of day in seconds (any value, wrapped into one day).
void formatTimeOfDay(char (&out)[5], double seconds);

class CFlightTimer {
public:
    enum class Style {
        Fsuipc,     // day count and seconds: no roll-over; jumps logged as errors with "%lf"
        SimConnect, // UTC time of day: roll-over at midnight; jumps logged as warnings by stream
    };

    struct Result {
        double flightTime = 0.0;
        bool jumpCut = false; // a forward jump was not counted
    };

    CFlightTimer(Style style, CDebugLog& log);

    // Takes the simulator clock t (seconds) and returns the new flight time.
    Result update(double t);
    void reset();
    bool isInitialised() const { return initialised; }
    double getInitValue() const { return initValue; }

private:
    Style style;
    CDebugLog& log;
    bool initialised = false;
    double initValue = 0.0;
    double previous = 0.0;
};
