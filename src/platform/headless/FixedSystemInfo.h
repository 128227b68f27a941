// SystemInfo with values set by the test: a data folder of the test's own,
// a program path, an OS name and a machine identifier.
#pragma once

#include "platform/SystemInfo.h"

class FixedSystemInfo final : public SystemInfo {
public:
    std::string dataFolder; // with trailing separator; empty = unknown
    std::string program = "/opt/quenvale/quenvale";
    std::string os = "Linux";
    std::string machine = "0BADF00D";

    std::string userDataFolder() override { return dataFolder; }
    std::string programPath() override { return program; }
    std::string osName() override { return os; }
    std::string machineId() override { return machine; }
    bool createDirectory(const std::string& path) override;
};
