// Everything a driver or phase test needs: a manual clock, a headless window,
// the user-interface hub with a scripted simulator, a booking between two
// airports, and a log capture.
#pragma once

#include "core/Client.h"
#include "platform/headless/HeadlessWindow.h"
#include "platform/headless/ManualClock.h"
#include "platform/headless/RecordingSoundOutput.h"
#include "support/LogCapture.h"
#include "support/ScriptedSimulator.h"
#include "ui/UserInterface.h"

#include <memory>
#include <vector>

// Records every button press before carrying it out.
class RecordingUserInterface : public CUserInterface {
public:
    using CUserInterface::CUserInterface;
    void OnButton(int id) override
    {
        pressed.push_back(id);
        CUserInterface::OnButton(id);
    }
    int presses(int id) const;
    std::vector<int> pressed;
};

struct FlightFixture {
    FlightFixture();
    ~FlightFixture();

    // Starts a flight: Flying page, phase Boarding, load on board.
    void startFlying();
    // Ticks the driver until the predicate holds or the time runs out (ms of manual time).
    template <class Pred>
    bool tickUntil(Pred done, std::int64_t limitMs)
    {
        const std::int64_t end = clock->nowMs() + limitMs;
        while (clock->nowMs() < end) {
            client->tick();
            client->checkKeyboard();
            if (done())
                return true;
        }
        return false;
    }
    void tickFor(std::int64_t ms)
    {
        tickUntil([] { return false; }, ms);
    }

    ScopedManualClock clock;
    LogCapture logs;
    HeadlessWindow window;
    RecordingSoundOutput sounds;
    std::unique_ptr<RecordingUserInterface> ui;
    ScriptedSimulator* sim = nullptr;
    std::unique_ptr<CClient> client;

    static constexpr double kDepLat = 51.4700, kDepLon = -0.4543;  // departure
    static constexpr double kArrLat = 50.0379, kArrLon = 8.5622;   // arrival
};
