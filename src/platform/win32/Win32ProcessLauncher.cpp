// ProcessLauncher on Windows: the downloaded installer, started by the shell.
// The installer asks for administrator rights, which CreateProcess cannot
// grant (it fails with "elevation required"); the shell shows the prompt.
#include "platform/ProcessLauncher.h"

#include "platform/win32/WideText.h"

#include <windows.h>

#include <shellapi.h>

namespace {

class Win32ProcessLauncher final : public ProcessLauncher {
public:
    bool startInstaller(const std::string& path) override
    {
        const std::wstring file = toWide(path);
        SHELLEXECUTEINFOW info{};
        info.cbSize = sizeof info;
        // The download thread ends right after this: no asynchronous start.
        info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
        info.lpVerb = L"open";
        info.lpFile = file.c_str();
        info.nShow = SW_SHOWNORMAL;
        return ShellExecuteExW(&info) != FALSE;
    }
    std::string installerSuffix() const override { return platformInstallerSuffix(); }
};

} // namespace

std::unique_ptr<ProcessLauncher> createPlatformProcessLauncher()
{
    return std::make_unique<Win32ProcessLauncher>();
}
