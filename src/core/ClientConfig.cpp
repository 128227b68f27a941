// CClientConfig: the data folder below the user's application-data folder.
#include "core/ClientConfig.h"

#include "platform/SystemInfo.h"

#include <filesystem>

namespace {
std::string g_chosenFolder;
constexpr char kSeparator = static_cast<char>(std::filesystem::path::preferred_separator);
} // namespace

void CClientConfig::useDataFolder(const std::string& folder)
{
    g_chosenFolder = folder;
    while (g_chosenFolder.size() > 1 && (g_chosenFolder.back() == '/' || g_chosenFolder.back() == kSeparator))
        g_chosenFolder.pop_back();
}

CClientConfig::CClientConfig()
{
    SystemInfo& info = systemInfo();
    std::string path;
    if (!g_chosenFolder.empty()) {
        path = g_chosenFolder;
        info.createDirectory(path);
        path += kSeparator;
    } else if (std::string base = info.userDataFolder(); !base.empty()) {
        path = base + "Quenvale";
        info.createDirectory(path); // a failure shows later, when files are written
        path += kSeparator;
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
