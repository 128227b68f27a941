// Linked into every fuzz target: the process gets a data folder of its own
// before any log channel or store asks for one, so a run never writes its
// logs or store files into the working directory. The folder goes at exit.
#include "platform/SystemInfo.h"
#include "platform/headless/FixedSystemInfo.h"

#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

class FuzzDataFolder {
public:
    FuzzDataFolder()
    {
        std::filesystem::create_directories(root);
        info.dataFolder = root.string() + "/";
        setSystemInfo(&info);
    }
    ~FuzzDataFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }

private:
    std::filesystem::path root =
        std::filesystem::temp_directory_path() / ("quenvale-fuzz-" + std::to_string(::getpid()));
    FixedSystemInfo info;
};

// Constructed before main, so before libFuzzer runs a single input.
const FuzzDataFolder folder;

} // namespace
