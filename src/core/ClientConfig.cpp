// CClientConfig: the data folder below the user's application-data folder.
#include "core/ClientConfig.h"

#include "platform/SystemInfo.h"

#include <filesystem>

CClientConfig::CClientConfig()
{
    SystemInfo& info = systemInfo();
    std::string base = info.userDataFolder();
    std::string path;
    if (!base.empty()) {
        path = base + "Quenvale";
        info.createDirectory(path); // a failure shows later, when files are written
        path += static_cast<char>(std::filesystem::path::preferred_separator);
    }
    dataFolder = settingsFolder = path;
    resourceFolder.clear();
    osName = info.osName();
#ifdef _WIN32
    platform = windowsPlatformFor(info.programPath());
#else
    platform = osName;
#endif
}

std::string CClientConfig::windowsPlatformFor(const std::string& programPath)
{
    if (programPath.find("Program Files") == std::string::npos)
        return "Win";
    return programPath.find("(x86)") != std::string::npos ? "Win64" : "Win32";
}
