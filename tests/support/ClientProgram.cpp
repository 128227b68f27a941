// ClientProgram: posix_spawn with output and error on one pipe.
#include "support/ClientProgram.h"

#include "support/OutputPipeSpawn.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
using SteadyClock = std::chrono::steady_clock;

int millisecondsLeft(SteadyClock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}
} // namespace

ClientProgram::ClientProgram(std::string path, std::vector<std::string> args)
    : program(std::move(path)), arguments(std::move(args))
{
}

ClientProgram::~ClientProgram()
{
    if (pid > 0) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
    if (pipeFd >= 0)
        ::close(pipeFd);
}

std::string ClientProgram::programPath(const std::string& binaryDir)
{
    return binaryDir + "/src/app/quenvale";
}

bool ClientProgram::start()
{
    return spawnWithOutputPipe(program, arguments, true, pid, pipeFd);
}

bool ClientProgram::readSome(int waitMs)
{
    if (pipeFd < 0)
        return false;
    pollfd p{pipeFd, POLLIN, 0};
    const int ready = ::poll(&p, 1, waitMs);
    if (ready < 0 && errno == EINTR)
        return true;
    if (ready <= 0)
        return ready == 0;
    char buffer[4096];
    const ssize_t n = ::read(pipeFd, buffer, sizeof buffer);
    if (n <= 0) {
        ::close(pipeFd);
        pipeFd = -1;
        return false;
    }
    seen.append(buffer, static_cast<std::size_t>(n));
    return true;
}

bool ClientProgram::waitForOutput(const std::string& text, int timeoutMs, std::size_t from)
{
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(timeoutMs);
    const auto found = [&] { return seen.size() > from && seen.find(text, from) != std::string::npos; };
    while (!found()) {
        const int left = millisecondsLeft(deadline);
        if (left == 0 || !readSome(left))
            return found();
    }
    return true;
}

int ClientProgram::finish(int timeoutMs)
{
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(timeoutMs);
    if (pid <= 0) {
        while (pipeFd >= 0 && millisecondsLeft(deadline) > 0)
            readSome(millisecondsLeft(deadline));
        return -1;
    }
    int status = 0;
    pid_t ended = 0;
    while (ended == 0 && millisecondsLeft(deadline) > 0) {
        if (pipeFd >= 0)
            readSome(std::min(millisecondsLeft(deadline), 100));
        else
            ::usleep(10000); // the output ends just before the process does
        ended = ::waitpid(pid, &status, WNOHANG);
    }
    if (ended == 0) {
        ::kill(pid, SIGKILL); // out of time
        ::waitpid(pid, &status, 0);
        pid = -1;
        return -1;
    }
    pid = -1;
    // What it printed last. A process it started may keep the pipe open
    // (Wine's services do), so this reads what is there, not to the end.
    pollfd p{pipeFd, POLLIN, 0};
    while (pipeFd >= 0 && ::poll(&p, 1, 0) > 0 && readSome(0))
        p.fd = pipeFd;
    return ended > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void ClientProgram::interrupt()
{
    if (pid > 0)
        ::kill(pid, SIGTERM);
}

void ClientProgram::kill()
{
    if (pid > 0)
        ::kill(pid, SIGKILL);
}

int ClientProgram::run(int timeoutMs)
{
    return start() ? finish(timeoutMs) : -1;
}
