// A private data folder for programs outside the test runner (benchmarks):
// installs a FixedSystemInfo pointing at a fresh temporary folder and removes
// it again.
#pragma once

#include "platform/headless/FixedSystemInfo.h"

#include <filesystem>

class TempDataFolder {
public:
    TempDataFolder();
    ~TempDataFolder();
    TempDataFolder(const TempDataFolder&) = delete;
    TempDataFolder& operator=(const TempDataFolder&) = delete;

    const std::filesystem::path& path() const { return root; }

private:
    std::filesystem::path root;
    FixedSystemInfo info;
};
