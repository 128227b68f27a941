// ProcessLauncher for Linux: the installer package goes to xdg-open, which
// hands it to the desktop's package installer. The child is reaped on a
// thread of its own so that the caller never waits for the installer.
#include "platform/ProcessLauncher.h"

#include <spawn.h>
#include <sys/wait.h>

#include <thread>
#include <vector>

extern char** environ;

namespace {

class PosixProcessLauncher final : public ProcessLauncher {
public:
    bool startInstaller(const std::string& path) override
    {
        std::string program = "xdg-open";
        std::string file = path;
        std::vector<char*> argv{program.data(), file.data(), nullptr};
        pid_t pid = 0;
        if (posix_spawnp(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
            return false;
        std::thread([pid] {
            int status = 0;
            waitpid(pid, &status, 0);
        }).detach();
        return true;
    }

    std::string installerSuffix() const override { return platformInstallerSuffix(); }
};

} // namespace

std::unique_ptr<ProcessLauncher> createPlatformProcessLauncher()
{
    return std::make_unique<PosixProcessLauncher>();
}
