// The program-start seam: hands a downloaded installer to the system.
#pragma once

#include <memory>
#include <string>

class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;
    // Starts the installer without waiting for it; true when it started.
    virtual bool startInstaller(const std::string& path) = 0;
    // How the platform's installers end: ".exe" or ".deb".
    virtual std::string installerSuffix() const = 0;
};

// The process's launcher; until one is installed nothing starts.
ProcessLauncher& processLauncher();
// Installs a launcher (not owned); nullptr restores the refusing one.
void setProcessLauncher(ProcessLauncher* launcher);
// The platform's own implementation (PosixProcessLauncher.cpp).
std::unique_ptr<ProcessLauncher> createPlatformProcessLauncher();
// The installer suffix of the platform this program was built for.
const char* platformInstallerSuffix();
