// qvl-service command line: start, seed, list, fault.
#include "Service.h"
#include "ServiceFaults.h"
#include "ServiceStore.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>
#include <string>
#include <vector>

namespace {

void usage()
{
    std::cerr
        << "usage: qvl-service start [--port N] [--host H] [--data DIR] [--airports FILE] [--upload-log FILE]\n"
           "       qvl-service seed [--data DIR]\n"
           "       qvl-service release [--data DIR] VERSION [INSTALLER.exe] [INSTALLER.deb]\n"
           "       qvl-service list [--data DIR] [requests|writereport|writepositionlog|writeeventlog|"
           "writelog|updateawards|resetflight|resetpositionlog]\n"
           "       qvl-service fault [--data DIR] none|refuse|delay MS|http500|garbage|truncated|wrongword|empty|"
           "trickle MS|status CODE|huge MB|closed|lost|word N [N [FUNCTION,...]]\n";
}

struct Arguments {
    std::string command;
    std::map<std::string, std::string> options;
    std::vector<std::string> words;
};

bool parse(int argc, char** argv, Arguments& a)
{
    if (argc < 2)
        return false;
    a.command = argv[1];
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--", 0) == 0) {
            if (i + 1 >= argc)
                return false;
            a.options[arg.substr(2)] = argv[++i];
        } else {
            a.words.push_back(arg);
        }
    }
    return true;
}

int runService(const Arguments& a)
{
    CServiceOptions o;
    o.dataFolder = a.options.count("data") ? a.options.at("data") : ".";
    if (a.options.count("host"))
        o.host = a.options.at("host");
    if (a.options.count("port"))
        o.port = std::atoi(a.options.at("port").c_str());
    if (a.options.count("airports"))
        o.airportsFile = a.options.at("airports");
    if (a.options.count("upload-log"))
        o.uploadLog = a.options.at("upload-log");

    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr); // worker threads inherit the mask

    CService service(o);
    if (!service.prepare() || !service.start()) {
        std::cerr << "qvl-service: " << service.error() << "\n";
        return 1;
    }
    std::cout << "qvl-service listening on https://" << o.host << ":" << service.port() << " (CA " << service.caFile()
              << ")" << std::endl;
    int received = 0;
    sigwait(&signals, &received);
    service.stop();
    return 0;
}

int openStore(const Arguments& a, CServiceStore& store)
{
    const std::string dir = a.options.count("data") ? a.options.at("data") : ".";
    if (!store.open(dir + "/service.db") || !store.createSchema()) {
        std::cerr << "qvl-service: " << store.error() << "\n";
        return 1;
    }
    return 0;
}

int list(const Arguments& a)
{
    CServiceStore store;
    if (openStore(a, store) != 0)
        return 1;
    const std::string what = a.words.empty() ? "requests" : a.words[0];
    if (what == "requests") {
        for (const auto& r : store.received())
            std::cout << r.id << " " << r.method << " " << r.path << " " << r.body << "\n";
        return 0;
    }
    for (const auto& upload : store.uploads(what)) {
        for (const auto& [k, v] : upload)
            std::cout << k << "=" << v << " ";
        std::cout << "\n";
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    Arguments a;
    if (!parse(argc, argv, a)) {
        usage();
        return 2;
    }
    if (a.command == "start")
        return runService(a);
    if (a.command == "seed") {
        CServiceStore store;
        return openStore(a, store) != 0 || !store.seedDemo() ? 1 : 0;
    }
    if (a.command == "release" && !a.words.empty()) {
        CServiceStore store;
        const std::vector<std::string> files(a.words.begin() + 1, a.words.end());
        return openStore(a, store) != 0 || !store.release(a.words[0], files) ? 1 : 0;
    }
    if (a.command == "list")
        return list(a);
    if (a.command == "fault" && !a.words.empty()) {
        const std::string dir = a.options.count("data") ? a.options.at("data") : ".";
        const unsigned ms = a.words.size() > 1 ? static_cast<unsigned>(std::atoi(a.words[1].c_str())) : 0;
        const std::string function = a.words.size() > 2 ? a.words[2] : std::string();
        return CServiceFaults::write(dir, a.words[0], ms, function) ? 0 : 2;
    }
    usage();
    return 2;
}
