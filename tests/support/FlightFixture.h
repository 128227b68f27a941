// Everything a driver or phase test needs: a manual clock, a headless window,
// the user-interface hub with a scripted simulator, a booking between two
// airports, and a log capture.
#pragma once

#include "client/Client.h"
#include "platform/headless/HeadlessWindow.h"
#include "platform/headless/ManualClock.h"
#include "platform/headless/RecordingSoundOutput.h"
#include "support/LogCapture.h"
#include "support/ScriptedSimulator.h"
#include "ui/UserInterface.h"

#include <memory>
#include <vector>

// A booking between two airports with an A320-sized aircraft.
inline constexpr double kTestDepLat = 51.4700, kTestDepLon = -0.4543;
inline constexpr double kTestArrLat = 50.0379, kTestArrLon = 8.5622;

struct TestBooking {
    const char* dep = "EGLL";
    double depLat = kTestDepLat, depLon = kTestDepLon;
    const char* arr = "EDDF";
    double arrLat = kTestArrLat, arrLon = kTestArrLon;
    const char* passengers = "150";
    const char* cargo = "2000";
    int mtow = 79000;
};
void bookFlight(CClientInterface& client, const TestBooking& booking);

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

    static constexpr double kDepLat = kTestDepLat, kDepLon = kTestDepLon; // the default booking's airports
    static constexpr double kArrLat = kTestArrLat, kArrLon = kTestArrLon;
};
