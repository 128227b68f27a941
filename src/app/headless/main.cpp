// quenvale-headless: the client without a window, for scripted runs.
//   quenvale-headless --user U --password P [--server URL] [--ca-file FILE]
//                     [--minutes N] [--autosave 0|1|2] [--no-tracker]
//                     [--fs-interface FSUIPC|SimConnect|Automatic]
#include "HeadlessRun.h"

#include "platform/DurableFiles.h"
#include "platform/FsuipcTransport.h"
#include "platform/HttpClient.h"
#include "platform/SharedLibrary.h"
#include "platform/SystemInfo.h"
#include "sim/fsuipc/FsuipcLink.h"

#include <cstdlib>
#include <ctime>
#include <iostream>
#include <string>

namespace {

int usage()
{
    std::cerr << "usage: quenvale-headless --user U --password P [--server URL] [--ca-file FILE]\n"
                 "                         [--minutes N] [--autosave 0|1|2] [--no-tracker]\n"
                 "                         [--fs-interface FSUIPC|SimConnect|Automatic]\n";
    return 2;
}

bool parse(int argc, char** argv, HeadlessOptions& o)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--no-tracker") {
            o.tracker = false;
            continue;
        }
        if (i + 1 >= argc)
            return false;
        const std::string value = argv[++i];
        if (arg == "--user")
            o.user = value;
        else if (arg == "--password")
            o.password = value;
        else if (arg == "--server")
            o.serverUrl = value;
        else if (arg == "--ca-file")
            o.caFile = value;
        else if (arg == "--minutes")
            o.minutes = std::atoi(value.c_str());
        else if (arg == "--fs-interface")
            o.fsInterface = value;
        else if (arg == "--autosave")
            o.autosaveMode = std::atoi(value.c_str());
        else
            return false;
    }
    return !o.user.empty() && o.minutes > 0;
}

} // namespace

int main(int argc, char** argv)
{
    HeadlessOptions options;
    if (!parse(argc, argv, options))
        return usage();
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    auto info = createPlatformSystemInfo();
    setSystemInfo(info.get());
    auto files = createPlatformDurableFiles();
    setDurableFiles(files.get());
    auto http = createPlatformHttpClient();
    setHttpClient(http.get());
    auto transport = createPlatformFsuipcTransport();
    CFsuipcLink::setTransport(transport.get());
    auto libraries = createPlatformSharedLibraryLoader();
    setSharedLibraryLoader(libraries.get());
    const int rc = HeadlessRun(options).run();
    setSharedLibraryLoader(nullptr);
    CFsuipcLink::setTransport(nullptr);
    setHttpClient(nullptr);
    setDurableFiles(nullptr);
    setSystemInfo(nullptr);
    return rc;
}
