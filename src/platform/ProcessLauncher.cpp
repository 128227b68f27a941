// Registry of the process's ProcessLauncher; read from the download thread.
#include "platform/ProcessLauncher.h"
#include "platform/SeamSlot.h"

namespace {
class NoLauncher final : public ProcessLauncher {
public:
    bool startInstaller(const std::string&) override { return false; }
    std::string installerSuffix() const override { return platformInstallerSuffix(); }
};

NoLauncher g_noLauncher;
constinit SeamSlot<ProcessLauncher> g_launcher{g_noLauncher};
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
    return g_launcher.get();
}

void setProcessLauncher(ProcessLauncher* launcher)
{
    g_launcher.install(launcher);
}
