// What the monitor may ask of the window that runs the flight: end it when a
// limit is passed, and how the pilot fuels. The user interface implements it,
// so the rules never see the pages or the controls.
#pragma once

#include <string>

class CFlightControl {
public:
    virtual void AbortFlight(const std::string& text) = 0;
    // The fuel method chosen on the fuel page (2: the pilot fuels in the simulator).
    virtual int getFuelMethod() const = 0;

protected:
    ~CFlightControl() = default;
};
