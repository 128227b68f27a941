// KilledChild: posix_spawn + SIGKILL, or CreateProcess + TerminateProcess.
#include "KilledChild.h"

#ifdef _WIN32
#include "platform/win32/WideText.h"

#include <windows.h>

namespace {
constexpr UINT kKilledExitCode = 0xDEAD;
}

KilledChild::KilledChild(const std::string& program, const std::vector<std::string>& arguments)
{
    std::wstring commandLine = L"\"" + toWide(program) + L"\"";
    for (const std::string& a : arguments)
        commandLine += L" \"" + toWide(a) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(toWide(program).c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info))
        return;
    CloseHandle(info.hThread);
    process = info.hProcess;
    running = true;
}

bool KilledChild::kill(std::string& how)
{
    if (!running)
        return false;
    running = false;
    TerminateProcess(process, kKilledExitCode);
    WaitForSingleObject(process, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    CloseHandle(process);
    how = "exit code " + std::to_string(code);
    return code == kKilledExitCode;
}

#else
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

KilledChild::KilledChild(const std::string& program, const std::vector<std::string>& arguments)
{
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t child = -1;
    if (::posix_spawn(&child, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
        return;
    pid = child;
    running = true;
}

bool KilledChild::kill(std::string& how)
{
    if (!running)
        return false;
    running = false;
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    how = "status " + std::to_string(status);
    return WIFSIGNALED(status);
}
#endif

KilledChild::~KilledChild()
{
    std::string ignored;
    if (running)
        kill(ignored);
}
