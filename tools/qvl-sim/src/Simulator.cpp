// CSimulator: the clock, the lock and the disconnections.
#include "Simulator.h"

#include <chrono>

CSimulator::CSimulator(const SimScenario& scenario)
    : model(scenario), runner(model), space(model, rec),
      fsServer([this](const std::string& mapping, std::uint8_t* block, std::size_t size) {
          return serveBlock(mapping, block, size);
      }),
      xpSpace(model, rec), xpServer(xpSpace, mutex), fgSpace(model, rec), fgServer(fgSpace, mutex)
{
}

CSimulator::~CSimulator()
{
    stopClock();
    fsServer.stop();
    xpServer.stop();
    fgServer.stop();
}

bool CSimulator::startServer(const std::string& className, const std::string& directory)
{
    serverClass = className;
    serverDirectory = directory;
    return fsServer.start(className, directory);
}

void CSimulator::stopServer()
{
    fsServer.stop();
}

bool CSimulator::serveBlock(const std::string& mapping, std::uint8_t* block, std::size_t size)
{
    std::lock_guard<std::mutex> lock(mutex);
    if (mapping != lastMapping) {
        lastMapping = mapping;
        rec.add({"mapping", mapping, 0.0, -1});
    }
    space.refresh();
    return CFsuipcServer::walkBlock(block, size, space);
}

void CSimulator::advance(double seconds)
{
    double requested = 0.0;
    double stepped = 0.0;
    {
        std::lock_guard<std::mutex> lock(mutex);
        pendingSeconds += seconds;
        while (pendingSeconds >= CAircraftModel::kStepSeconds - 1e-9) {
            pendingSeconds -= CAircraftModel::kStepSeconds;
            runner.step(CAircraftModel::kStepSeconds);
            stepped += CAircraftModel::kStepSeconds;
            if (const double r = runner.takeDisconnectRequest(); r > 0.0)
                requested = r;
        }
    }
    // The server is stopped and started outside the lock: its workers take it.
    handleDisconnect(requested, stepped);
}

void CSimulator::handleDisconnect(double requested, double stepSeconds)
{
    if (requested > 0.0) {
        downLeft = requested;
        // A server that was never started (a simulator flown in-process) stays that way.
        restartAfterOutage = restartAfterOutage || fsServer.running();
        rec.add({"disconnect", "", requested, -1});
        fsServer.stop();
        xpServer.setAway(true);
        fgServer.setAway(true);
        return;
    }
    if (downLeft <= 0.0)
        return;
    downLeft -= stepSeconds;
    if (downLeft <= 0.0) {
        if (restartAfterOutage)
            fsServer.start(serverClass, serverDirectory);
        restartAfterOutage = false;
        xpServer.setAway(false);
        fgServer.setAway(false);
        rec.add({"reconnect", "", 0.0, -1});
    }
}

void CSimulator::startClock(double timeScale)
{
    stopClock();
    clockRunning = true;
    clock = std::thread([this, timeScale] { runClock(timeScale, clockRunning); });
}

void CSimulator::stopClock()
{
    clockRunning = false;
    if (clock.joinable())
        clock.join();
}

void CSimulator::runClock(double timeScale, const std::atomic<bool>& keepRunning)
{
    using namespace std::chrono;
    auto last = steady_clock::now();
    while (keepRunning) {
        fsServer.pump(20);
        const auto now = steady_clock::now();
        advance(duration<double>(now - last).count() * timeScale);
        last = now;
    }
}

SimAircraftState CSimulator::state() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return model.state();
}

void CSimulator::modify(const std::function<void(CAircraftModel&)>& change)
{
    std::lock_guard<std::mutex> lock(mutex);
    change(model);
}

bool CSimulator::scenarioFinished() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return runner.finished();
}

void CSimulator::pin(std::uint32_t offset, const std::vector<std::uint8_t>& bytes)
{
    std::lock_guard<std::mutex> lock(mutex);
    space.pin(offset, bytes);
}

void CSimulator::setSaveDirectory(const std::string& dir)
{
    std::lock_guard<std::mutex> lock(mutex);
    space.setSaveDirectory(dir);
}
