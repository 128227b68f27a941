// CSimProcess: posix_spawn with the child's standard output on a pipe.
#include "SimProcess.h"

#include "support/OutputPipeSpawn.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

CSimProcess::CSimProcess(std::string path, std::vector<std::string> args)
    : program(std::move(path)), arguments(std::move(args))
{
}

CSimProcess::~CSimProcess()
{
    stop();
}

std::string CSimProcess::programPath(const std::string& binaryDir)
{
    return binaryDir + "/tools/qvl-sim/qvl-sim";
}

bool CSimProcess::start(int timeoutMs)
{
    if (!spawnWithOutputPipe(program, arguments, false, pid, output))
        return false;
    // Wait for "ready <path>\n".
    std::string seen;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (seen.find('\n') == std::string::npos) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd p{output, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0)
            break;
        char buffer[256];
        const ssize_t n = ::read(output, buffer, sizeof buffer);
        if (n <= 0)
            break;
        seen.append(buffer, static_cast<std::size_t>(n));
    }
    if (seen.rfind("ready ", 0) != 0) {
        kill();
        return false;
    }
    return true;
}

void CSimProcess::finish(int signal)
{
    if (pid > 0) {
        ::kill(pid, signal);
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
    pid = -1;
    if (output >= 0)
        ::close(output);
    output = -1;
}

void CSimProcess::stop()
{
    finish(SIGTERM);
}

void CSimProcess::kill()
{
    finish(SIGKILL);
}
