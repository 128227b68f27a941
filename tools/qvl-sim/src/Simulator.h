// The whole stand-in: aircraft model, pilot-robot, offset space, record and
// module server, with one lock between the clock and the client's batches.
// Tests drive it step by step in-process; the qvl-sim program runs its clock.
#pragma once

#include "AircraftModel.h"
#include "FlightGearServer.h"
#include "FsuipcServer.h"
#include "OffsetSpace.h"
#include "ScenarioRunner.h"
#include "SimRecord.h"
#include "XPlaneServer.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CSimulator {
public:
    explicit CSimulator(const SimScenario& scenario);
    ~CSimulator();
    CSimulator(const CSimulator&) = delete;
    CSimulator& operator=(const CSimulator&) = delete;

    bool startServer(const std::string& className = "UIPCMAIN", const std::string& directory = {});
    void stopServer();
    // Moves the scenario on by `seconds` of real time, in the model's fixed steps.
    void advance(double seconds);
    // Runs the clock on a thread of its own, `timeScale` seconds per real second.
    void startClock(double timeScale);
    void stopClock();
    // Runs the clock and serves the client on the calling thread while
    // `keepRunning` holds (the Windows server's window lives on this thread).
    void runClock(double timeScale, const std::atomic<bool>& keepRunning);

    SimAircraftState state() const;
    // Runs `change` on the model under the lock (tests set up situations this way).
    void modify(const std::function<void(CAircraftModel&)>& change);
    bool scenarioFinished() const;
    // Serves fixed bytes at an offset from now on, whatever the model says.
    void pin(std::uint32_t offset, const std::vector<std::uint8_t>& bytes);
    // Flight saves the client asks for are written here.
    void setSaveDirectory(const std::string& dir);
    CSimRecord& record() { return rec; }
    CFsuipcServer& server() { return fsServer; }
    // X-Plane's UDP interface on `port` (0: any free one), with its beacon when asked.
    bool startXPlaneServer(std::uint16_t port, bool beacon) { return xpServer.start(port, beacon); }
    CXPlaneServer& xplaneServer() { return xpServer; }
    // FlightGear's property server on TCP `port` (0: any free one).
    bool startFlightGearServer(std::uint16_t port) { return fgServer.start(port); }
    CFlightGearServer& flightgearServer() { return fgServer; }

private:
    bool serveBlock(const std::string& mapping, std::uint8_t* block, std::size_t size);
    void handleDisconnect(double requested, double stepSeconds);

    mutable std::mutex mutex;
    CAircraftModel model;
    CScenarioRunner runner;
    CSimRecord rec;
    COffsetSpace space;
    CFsuipcServer fsServer;
    CXPlaneDatarefSpace xpSpace;
    CXPlaneServer xpServer;
    CFlightGearPropertySpace fgSpace;
    CFlightGearServer fgServer;
    std::string serverClass = "UIPCMAIN";
    std::string serverDirectory;
    std::string lastMapping;
    double pendingSeconds = 0.0;
    double downLeft = 0.0;
    bool restartAfterOutage = false;
    std::thread clock;
    std::atomic<bool> clockRunning{false};
};
