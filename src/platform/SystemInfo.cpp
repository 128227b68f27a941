// Registry of the process's SystemInfo.
#include "platform/SystemInfo.h"
#include "platform/SeamSlot.h"

#include "core/Utf8Path.h"

#include <filesystem>

namespace {
class NullSystemInfo final : public SystemInfo {
public:
    std::string userDataFolder() override { return {}; }
    std::string programPath() override { return {}; }
    std::string osName() override { return "Unknown"; }
    std::string machineId() override { return "00000000"; }
    bool createDirectory(const std::string& path) override
    {
        std::error_code ec;
        std::filesystem::create_directory(utf8Path(path), ec);
        return std::filesystem::is_directory(utf8Path(path), ec);
    }
};

NullSystemInfo g_null;
constinit SeamSlot<SystemInfo> g_info{g_null};
} // namespace

SystemInfo& systemInfo()
{
    return g_info.get();
}

void setSystemInfo(SystemInfo* info)
{
    g_info.install(info);
}
