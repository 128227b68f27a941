// CFsuipcTestDirectory: folder, environment variable and transport.
#include "FsuipcTestDirectory.h"

#include "platform/FsuipcTransport.h"
#include "sim/fsuipc/FsuipcLink.h"

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

CFsuipcTestDirectory::CFsuipcTestDirectory()
{
    static std::atomic<int> counter{0};
    dir = (std::filesystem::temp_directory_path() /
           ("qvl-fsuipc-" + std::to_string(::getpid()) + "-" + std::to_string(++counter)))
              .string();
    std::filesystem::create_directories(dir);
    ::setenv("QVL_FSUIPC_DIR", dir.c_str(), 1);
    transport = createPlatformFsuipcTransport();
    CFsuipcLink::setTransport(transport.get());
}

CFsuipcTestDirectory::~CFsuipcTestDirectory()
{
    CFsuipcLink::setTransport(nullptr);
    ::unsetenv("QVL_FSUIPC_DIR");
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
}
