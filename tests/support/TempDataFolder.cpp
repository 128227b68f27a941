// TempDataFolder: one folder per process below the system's temporary folder.
#include "support/TempDataFolder.h"

#include "core/ClientConfig.h"

#include <string>
#include <unistd.h>

TempDataFolder::TempDataFolder()
{
    root = std::filesystem::temp_directory_path() / ("quenvale-run-" + std::to_string(::getpid()));
    std::filesystem::create_directories(root);
    info.dataFolder = root.string() + "/";
    setSystemInfo(&info);
    CClientConfig::destroyInstance();
}

TempDataFolder::~TempDataFolder()
{
    CClientConfig::destroyInstance();
    setSystemInfo(nullptr);
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
}
