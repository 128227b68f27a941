// ProcessLauncher on Windows: CreateProcess of the downloaded installer.
#include "platform/ProcessLauncher.h"

#include "platform/win32/WideText.h"

#include <windows.h>

namespace {

class Win32ProcessLauncher final : public ProcessLauncher {
public:
    bool startInstaller(const std::string& path) override
    {
        std::wstring commandLine = L"\"" + toWide(path) + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (!CreateProcessW(toWide(path).c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &process))
            return false;
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return true;
    }
    std::string installerSuffix() const override { return platformInstallerSuffix(); }
};

} // namespace

std::unique_ptr<ProcessLauncher> createPlatformProcessLauncher()
{
    return std::make_unique<Win32ProcessLauncher>();
}
