// SystemInfo on Linux: XDG data folder, /proc/self/exe, /etc/machine-id.
#include "platform/SystemInfo.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool makeDirectory(const std::string& path)
{
    if (::mkdir(path.c_str(), 0700) == 0 || errno == EEXIST) {
        struct stat st{};
        return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }
    return false;
}

bool makeDirectories(const std::string& path)
{
    for (std::size_t pos = 1; pos <= path.size(); ++pos) {
        if (pos == path.size() || path[pos] == '/') {
            if (!makeDirectory(path.substr(0, pos)))
                return false;
        }
    }
    return true;
}

class PosixSystemInfo final : public SystemInfo {
public:
    std::string userDataFolder() override
    {
        std::string base;
        const char* xdg = std::getenv("XDG_DATA_HOME");
        if (xdg != nullptr && xdg[0] == '/') {
            base = xdg;
        } else {
            const char* home = std::getenv("HOME");
            if (home == nullptr || home[0] != '/')
                return {};
            base = std::string(home) + "/.local/share";
        }
        while (base.size() > 1 && base.back() == '/')
            base.pop_back();
        if (!makeDirectories(base))
            return {};
        return base + "/";
    }

    std::string programPath() override
    {
        char buf[4096];
        ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
        if (n <= 0)
            return {};
        return std::string(buf, static_cast<std::size_t>(n));
    }

    std::string osName() override { return "Linux"; }

    std::string machineId() override
    {
        std::string id;
        for (const char* file : {"/etc/machine-id", "/var/lib/dbus/machine-id"}) {
            std::ifstream in(file);
            if (in && std::getline(in, id) && !id.empty())
                break;
            id.clear();
        }
        if (id.empty())
            id = "quenvale-no-machine-id";
        // FNV-1a folds the 128-bit id into the 32 bits the service expects.
        std::uint32_t h = 2166136261u;
        for (unsigned char c : id) {
            h ^= c;
            h *= 16777619u;
        }
        char out[9];
        std::snprintf(out, sizeof out, "%08X", h);
        return out;
    }

    bool createDirectory(const std::string& path) override { return makeDirectory(path); }
};

} // namespace

std::unique_ptr<SystemInfo> createPlatformSystemInfo()
{
    return std::make_unique<PosixSystemInfo>();
}
