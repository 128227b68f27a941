// The Windows table test's child: reports what the client would send and where
// it keeps its files, with the real platform implementation, one value a line
// (platform text, data folder, machine identifier) into the file it is given.
#include "core/ClientConfig.h"
#include "platform/SystemInfo.h"

#include <fstream>

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    auto info = createPlatformSystemInfo();
    setSystemInfo(info.get());
    const CClientConfig& config = CClientConfig::getInstance();
    std::ofstream out(argv[1]);
    out << config.getPlatform() << '\n' << config.getDataFolder() << '\n' << info->machineId() << '\n';
    return out ? 0 : 1;
}
