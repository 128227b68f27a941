// ServiceProcess: posix_spawn of the service, its port file as the ready
// signal, SIGTERM and waitpid to stop it.
#include "ServiceProcess.h"

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

ServiceProcess::ServiceProcess(std::string programPath) : program(std::move(programPath))
{
    char pattern[] = "/tmp/qvl-service-test-XXXXXX";
    const char* made = ::mkdtemp(pattern);
    folder = made != nullptr ? made : "/tmp/qvl-service-test";
}

ServiceProcess::~ServiceProcess()
{
    stop();
    std::error_code ec;
    if (std::getenv("QVL_KEEP_TEST_DATA") == nullptr)
        std::filesystem::remove_all(folder, ec);
}

int ServiceProcess::run(const std::vector<std::string>& arguments, bool wait)
{
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t child = -1;
    if (::posix_spawn(&child, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    if (!wait)
        return child;
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool ServiceProcess::start()
{
    const std::string portFile = folder + "/port";
    std::filesystem::remove(portFile);
    pid = run({"start", "--port", "0", "--data", folder, "--upload-log", uploadLog()}, false);
    if (pid <= 0)
        return false;
    // First start creates keys and loads a few thousand airports.
    for (int i = 0; i < 600; ++i) {
        std::ifstream in(portFile);
        if (in >> listenPort && listenPort > 0)
            return waitListening(5000);
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            pid = -1;
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

void ServiceProcess::stop()
{
    if (pid <= 0)
        return;
    ::kill(pid, SIGTERM);
    int status = 0;
    ::waitpid(pid, &status, 0);
    pid = -1;
}

bool ServiceProcess::setFault(const std::string& mode, unsigned delayMs, const std::string& function)
{
    std::vector<std::string> words = {"fault", "--data", folder, mode, std::to_string(delayMs)};
    if (!function.empty())
        words.push_back(function);
    return run(words, true) == 0;
}

bool ServiceProcess::connects() const
{
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(listenPort));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = ::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    ::close(s);
    return ok;
}
