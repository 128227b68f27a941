// quenvale: the client program. Parses the options, installs the platform's
// implementations of the seams, and hands over to a front-end.
#include "app/CommandLine.h"
#include "app/ExitCodes.h"
#include "app/RecordingCommands.h"
#include "app/WindowFrontEnd.h"
#include "app/headless/HeadlessFrontEnd.h"
#ifdef _WIN32
#include "app/win32/ParentConsole.h"
#include "app/win32/WideArguments.h"
#endif
#include "core/ClientConfig.h"
#include "core/Utf8Path.h"
#include "core/Version.h"
#include "platform/Downloader.h"
#include "platform/DurableFiles.h"
#include "platform/FsuipcTransport.h"
#include "platform/HttpClient.h"
#include "platform/ProcessLauncher.h"
#include "platform/SharedLibrary.h"
#include "platform/SystemInfo.h"
#include "platform/TcpNetwork.h"
#include "platform/Toolkit.h"
#include "platform/UdpNetwork.h"
#include "sim/fsuipc/FsuipcLink.h"

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

namespace {

// The window unless a command-line mode is asked for.
bool opensWindow(const ProgramOptions& options)
{
    return !options.showHelp && !options.showVersion && options.command.empty() && !options.headless &&
           options.pilotFile.empty();
}

// The one place that picks the front-end: the window unless --headless or
// --pilot is given (a script flies without a window) or no display can be opened.
int runFrontEnd(const ProgramOptions& options)
{
    if (opensWindow(options)) {
        if (openPlatformDisplay())
            return CWindowFrontEnd(options).run();
        std::cerr << "No display to open the window on: running without a window (as --headless)." << std::endl;
    }
    return CHeadlessFrontEnd(options).run();
}

// --data-dir: made absolute and created, so the lock, settings and logs agree on it.
bool chooseDataFolder(const std::string& folder)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path path = fs::absolute(utf8Path(folder), ec);
    if (!ec)
        fs::create_directories(path, ec);
    if (ec || !fs::is_directory(path, ec)) {
        std::cerr << "cannot use " << folder << " as the data folder" << (ec ? ": " + ec.message() : "") << std::endl;
        return false;
    }
    CClientConfig::useDataFolder(utf8Text(path));
    return true;
}

// The platform's implementations for the program's lifetime.
class PlatformSeams {
public:
    PlatformSeams()
        : info(createPlatformSystemInfo()), files(createPlatformDurableFiles()), http(createPlatformHttpClient()),
          transport(createPlatformFsuipcTransport()), libraries(createPlatformSharedLibraryLoader()),
          downloader(createPlatformDownloader()), launcher(createPlatformProcessLauncher()),
          network(createPlatformUdpNetwork()),
          streams(createPlatformTcpNetwork())
    {
        setSystemInfo(info.get());
        setDurableFiles(files.get());
        setHttpClient(http.get());
        CFsuipcLink::setTransport(transport.get());
        setSharedLibraryLoader(libraries.get());
        setDownloader(downloader.get());
        setProcessLauncher(launcher.get());
        setUdpNetwork(network.get());
        setTcpNetwork(streams.get());
    }
    ~PlatformSeams()
    {
        setTcpNetwork(nullptr);
        setUdpNetwork(nullptr);
        setProcessLauncher(nullptr);
        setDownloader(nullptr);
        setSharedLibraryLoader(nullptr);
        CFsuipcLink::setTransport(nullptr);
        setHttpClient(nullptr);
        setDurableFiles(nullptr);
        setSystemInfo(nullptr);
    }
    PlatformSeams(const PlatformSeams&) = delete;
    PlatformSeams& operator=(const PlatformSeams&) = delete;

private:
    std::unique_ptr<SystemInfo> info;
    std::unique_ptr<DurableFiles> files;
    std::unique_ptr<HttpClient> http;
    std::unique_ptr<FsuipcTransport> transport;
    std::unique_ptr<SharedLibraryLoader> libraries;
    std::unique_ptr<Downloader> downloader;
    std::unique_ptr<ProcessLauncher> launcher;
    std::unique_ptr<UdpNetwork> network;
    std::unique_ptr<TcpNetwork> streams;
};

// The arguments as UTF-8; Windows hands them over in UTF-16, converted here once.
bool programArguments(int argc, char** argv, std::vector<std::string>& arguments, std::string& error)
{
#ifdef _WIN32
    (void)argc;
    (void)argv;
    return WideArguments::read(arguments, error);
#else
    (void)error;
    arguments.assign(argv, argv + argc);
    return true;
#endif
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> arguments;
    std::string unreadable;
    const bool readable = programArguments(argc, argv, arguments, unreadable);
    const std::string program =
        utf8Text(utf8Path(arguments.empty() ? std::string("quenvale") : arguments.front()).filename());
    CCommandLine commandLine;
    const bool parsed = readable && commandLine.parse(std::vector<std::string>(
                                        arguments.begin() + (arguments.empty() ? 0 : 1), arguments.end()));
#ifdef _WIN32
    if (!parsed || !opensWindow(commandLine.options()))
        attachParentConsole();
#endif
    if (!parsed) {
        std::cerr << program << ": " << (readable ? commandLine.error() : unreadable) << "\nTry '" << program
                  << " --help'." << std::endl;
        return ExitUsage;
    }
    const ProgramOptions& options = commandLine.options();
    if (options.showHelp) {
        std::cout << CCommandLine::helpText(program);
        return ExitOk;
    }
    if (options.showVersion) {
        std::cout << "Quenvale client " << kClientVersion << std::endl;
        return ExitOk;
    }
    if (!options.command.empty()) {
        return options.command == "replay" ? RecordingCommands::replay(options.commandFile, std::cout, std::cerr)
                                           : RecordingCommands::landing(options.commandFile, std::cout, std::cerr);
    }
    if (!options.dataFolder.empty() && !chooseDataFolder(options.dataFolder))
        return ExitStartFailed;
    PlatformSeams seams;
    return runFrontEnd(options);
}
