// Where the client's files live and which platform it runs on; one per process.
#pragma once

#include "core/Singleton.h"

#include <string>

class CClientConfig : public CSingleton<CClientConfig> {
public:
    CClientConfig();
    ~CClientConfig() override = default;

    const std::string& getDataFolder() const { return dataFolder; }
    const std::string& getSettingsFolder() const { return settingsFolder; }
    const std::string& getResourceFolder() const { return resourceFolder; }
    const std::string& getPlatform() const { return platform; }
    const std::string& getOsName() const { return osName; }
    unsigned getPositionUploadInterval() const { return 180000; }

    // The Windows naming rule: "Win64" for a program below "Program Files (x86)",
    // "Win32" below "Program Files", "Win" anywhere else.
    static std::string windowsPlatformFor(const std::string& programPath);

    // A data folder named on the command line: the files live directly in it
    // instead of below the per-user folder. Takes effect at the next construction.
    static void useDataFolder(const std::string& folder);

private:
    std::string dataFolder;
    std::string settingsFolder;
    std::string resourceFolder;
    std::string platform;
    std::string osName;
};
