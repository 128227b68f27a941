// Registry of the process's ProcessLauncher; read from the download thread.
#include "platform/ProcessLauncher.h"

#include <atomic>

namespace {
class NoLauncher final : public ProcessLauncher {
public:
    bool startInstaller(const std::string&) override { return false; }
    std::string installerSuffix() const override { return platformInstallerSuffix(); }
};

NoLauncher g_noLauncher;
std::atomic<ProcessLauncher*> g_launcher{&g_noLauncher};
} // namespace

const char* platformInstallerSuffix()
{
#ifdef _WIN32
    return ".exe";
#else
    return ".deb";
#endif
}

ProcessLauncher& processLauncher()
{
    return *g_launcher.load();
}

void setProcessLauncher(ProcessLauncher* launcher)
{
    g_launcher.store(launcher != nullptr ? launcher : &g_noLauncher);
}
