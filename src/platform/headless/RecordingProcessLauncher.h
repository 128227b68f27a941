// ProcessLauncher that starts nothing and records what it was handed.
#pragma once

#include "platform/ProcessLauncher.h"

#include <mutex>
#include <string>
#include <vector>

class RecordingProcessLauncher final : public ProcessLauncher {
public:
    bool startInstaller(const std::string& path) override
    {
        const std::lock_guard<std::mutex> lock(mutex);
        started.push_back(path);
        return succeed;
    }
    std::string installerSuffix() const override { return ".deb"; }

    std::vector<std::string> startedFiles()
    {
        const std::lock_guard<std::mutex> lock(mutex);
        return started;
    }
    bool succeed = true;

private:
    std::mutex mutex;
    std::vector<std::string> started;
};
