// CChildProcessWin32: CreateProcess with an inherited pipe, PeekNamedPipe polls.
#include "ChildProcessWin32.h"

#include "platform/win32/WideText.h"

#include <windows.h>

#include <chrono>

namespace {

// Quotes one argument the way the C runtime splits command lines.
std::string quoted(const std::string& argument)
{
    std::string out = "\"";
    std::size_t backslashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        out.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, '\\');
    return out + "\"";
}

} // namespace

CChildProcessWin32::~CChildProcessWin32()
{
    terminate();
}

bool CChildProcessWin32::start(const std::string& program, const std::vector<std::string>& arguments)
{
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return false;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    std::string commandLine = quoted(program);
    for (const std::string& a : arguments)
        commandLine += " " + quoted(a);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION info{};
    // UTF-8 names, as the client's own: any user name and folder.
    std::wstring wideCommandLine = toWide(commandLine);
    const BOOL started = CreateProcessW(toWide(program).c_str(), wideCommandLine.data(), nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &startup, &info);
    CloseHandle(writeEnd);
    if (!started) {
        CloseHandle(readEnd);
        return false;
    }
    CloseHandle(info.hThread);
    process = info.hProcess;
    output = readEnd;
    return true;
}

bool CChildProcessWin32::readSome(std::string& seen, int waitMs)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    while (output != nullptr) {
        DWORD available = 0;
        if (!PeekNamedPipe(output, nullptr, 0, nullptr, &available, nullptr)) {
            CloseHandle(output); // the child's end is closed: no more output
            output = nullptr;
            return false;
        }
        if (available > 0) {
            char buffer[4096];
            DWORD n = 0;
            if (ReadFile(output, buffer, available < sizeof buffer ? available : sizeof buffer, &n, nullptr) && n > 0)
                seen.append(buffer, n);
            return true;
        }
        if (std::chrono::steady_clock::now() >= until)
            return true;
        Sleep(10);
    }
    return false;
}

int CChildProcessWin32::wait(int timeoutMs)
{
    if (process == nullptr)
        return -1;
    DWORD code = 0;
    const bool ended = WaitForSingleObject(process, static_cast<DWORD>(timeoutMs)) == WAIT_OBJECT_0;
    if (!ended)
        terminate();
    else
        GetExitCodeProcess(process, &code);
    if (process != nullptr)
        CloseHandle(process);
    process = nullptr;
    return ended ? static_cast<int>(code) : -1;
}

void CChildProcessWin32::terminate()
{
    if (process != nullptr) {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, 10000);
        CloseHandle(process);
        process = nullptr;
    }
    if (output != nullptr)
        CloseHandle(output);
    output = nullptr;
}
