// qvl-sim: flies a scenario and serves it to the client over the module
// protocol until stopped.
//   qvl-sim run SCENARIO [--time-scale N] [--start-at SECONDS] [--record FILE]
//                        [--dir DIR] [--class NAME] [--fault rewrite-header|never-answer|answer-zero|answer-late]
//                        [--fsuipc-version WORD] [--sim-version N] [--sub-version N] [--no-magic]
//                        [--save-dir DIR]
//                        [--xplane-port PORT] [--xplane-beacon] [--xplane-fault malformed|truncated|lose|reorder|silent|restart]
//                        [--flightgear-port PORT] [--flightgear-fault missing|garbage|hangup]
//   qvl-sim list
//   qvl-sim dry-run SCENARIO   (flies it at once and prints one line per simulated minute)
#include "Simulator.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

namespace {

std::atomic<bool> g_running{true};

void onSignal(int)
{
    g_running = false;
}

struct Options {
    std::string scenario;
    double timeScale = 1.0;
    double startAt = 0.0;
    std::string record;
    std::string saveDir;
    std::string dir;
    std::string className = "UIPCMAIN";
    CFsuipcServer::Fault fault = CFsuipcServer::Fault::None;
    std::string fsuipcVersion, simVersion, subVersion;
    bool noMagic = false;
    int xplanePort = -1; // -1: no X-Plane interface
    bool xplaneBeacon = false;
    CXPlaneServer::Fault xplaneFault = CXPlaneServer::Fault::None;
    int flightgearPort = -1; // -1: no property server
    CFlightGearServer::Fault flightgearFault = CFlightGearServer::Fault::None;
};

int usage()
{
    std::cerr << "usage: qvl-sim run SCENARIO [--time-scale N] [--start-at SECONDS] [--record FILE]\n"
                 "                    [--dir DIR] [--class NAME] [--fault "
                 "rewrite-header|never-answer|answer-zero|answer-late]\n"
                 "                    [--fsuipc-version WORD] [--sim-version N] [--sub-version N] [--no-magic]\n"
                 "                    [--save-dir DIR]\n"
                 "                    [--xplane-port PORT] [--xplane-beacon]\n"
                 "                    [--xplane-fault malformed|truncated|lose|reorder|silent|restart]\n"
                 "                    [--flightgear-port PORT] [--flightgear-fault missing|garbage|hangup]\n"
                 "       qvl-sim list\n";
    return 2;
}

bool number(const std::string& text, double lo, double hi, double& out)
{
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !(v >= lo && v <= hi))
        return false;
    out = v;
    return true;
}

bool parseFault(const std::string& text, CFsuipcServer::Fault& fault)
{
    if (text == "rewrite-header")
        fault = CFsuipcServer::Fault::RewriteHeader;
    else if (text == "never-answer")
        fault = CFsuipcServer::Fault::NeverAnswer;
    else if (text == "answer-zero")
        fault = CFsuipcServer::Fault::AnswerZero;
    else if (text == "answer-late")
        fault = CFsuipcServer::Fault::AnswerLate;
    else
        return false;
    return true;
}

bool parsePort(const std::string& text, int& port)
{
    double v = 0.0;
    if (!number(text, 0, 65535, v))
        return false;
    port = static_cast<int>(v);
    return true;
}

bool parseOptions(int argc, char** argv, Options& o)
{
    if (argc < 3)
        return false;
    o.scenario = argv[2];
    for (int i = 3; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        const std::string value = hasValue ? argv[i + 1] : "";
        if (arg == "--no-magic" || arg == "--xplane-beacon") {
            (arg == "--no-magic" ? o.noMagic : o.xplaneBeacon) = true;
            continue;
        }
        if (!hasValue)
            return false;
        ++i;
        bool ok = true;
        if (arg == "--time-scale")
            ok = number(value, 0.0, 1000.0, o.timeScale);
        else if (arg == "--start-at")
            ok = number(value, 0.0, 86400.0 * 2, o.startAt);
        else if (arg == "--record")
            o.record = value;
        else if (arg == "--save-dir")
            o.saveDir = value;
        else if (arg == "--dir")
            o.dir = value;
        else if (arg == "--class")
            o.className = value;
        else if (arg == "--fault")
            ok = parseFault(value, o.fault);
        else if (arg == "--fsuipc-version")
            o.fsuipcVersion = value;
        else if (arg == "--sim-version")
            o.simVersion = value;
        else if (arg == "--sub-version")
            o.subVersion = value;
        else if (arg == "--xplane-port")
            ok = parsePort(value, o.xplanePort);
        else if (arg == "--xplane-fault")
            ok = CXPlaneServer::parseFault(value, o.xplaneFault);
        else if (arg == "--flightgear-port")
            ok = parsePort(value, o.flightgearPort);
        else if (arg == "--flightgear-fault")
            ok = CFlightGearServer::parseFault(value, o.flightgearFault);
        else
            ok = false;
        if (!ok) {
            std::cerr << "qvl-sim: bad option " << arg << " " << value << "\n";
            return false;
        }
    }
    return true;
}

std::string scenarioPath(const std::string& name)
{
    if (std::filesystem::exists(name))
        return name;
    return std::string(QVL_SIM_SCENARIO_DIR) + "/" + name + (name.ends_with(".json") ? "" : ".json");
}

bool applyOverrides(const Options& o, SimIdentity& id)
{
    double v = 0.0;
    if (!o.fsuipcVersion.empty()) {
        char* end = nullptr;
        const unsigned long word = std::strtoul(o.fsuipcVersion.c_str(), &end, 0);
        if (*end != '\0' || word > 0xFFFFFFFFul)
            return false;
        id.fsuipcVersion = static_cast<std::uint32_t>(word);
    }
    if (!o.simVersion.empty()) {
        if (!number(o.simVersion, 0, 65535, v))
            return false;
        id.version = static_cast<std::uint16_t>(v);
    }
    if (!o.subVersion.empty()) {
        if (!number(o.subVersion, 0, 255, v))
            return false;
        id.subVersion = static_cast<std::uint8_t>(v);
    }
    if (o.noMagic)
        id.versionMagic = false;
    return true;
}

int listScenarios()
{
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(QVL_SIM_SCENARIO_DIR, ec))
        std::cout << entry.path().stem().string() << "\n";
    return 0;
}

int dryRun(const std::string& name)
{
    SimScenario scenario;
    std::string error;
    if (!SimScenario::load(scenarioPath(name), scenario, error)) {
        std::cerr << "qvl-sim: " << error << "\n";
        return 1;
    }
    CSimulator sim(scenario);
    for (int minute = 0; minute < 24 * 60 && !sim.scenarioFinished(); ++minute) {
        sim.advance(60.0);
        const SimAircraftState s = sim.state();
        std::printf(
            "%5d min  lat %9.5f lon %9.5f hdg %5.1f alt %7.0f agl %7.0f gs %5.0f vs %6.0f %s td %6.0f fuel %7.1f gal\n",
            minute + 1, s.lat, s.lon, s.headingDeg, s.altitudeFt, s.altitudeFt - s.groundFt, s.gsKts, s.vsFpm,
            s.onGround ? "ground" : "air   ", s.touchdownVsFpm, [&] {
                double g = 0.0;
                for (double t : s.tankGallons)
                    g += t;
                return g;
            }());
    }
    return 0;
}

int run(const Options& o)
{
    SimScenario scenario;
    std::string error;
    if (!SimScenario::load(scenarioPath(o.scenario), scenario, error)) {
        std::cerr << "qvl-sim: " << error << "\n";
        return 1;
    }
    if (!applyOverrides(o, scenario.identity)) {
        std::cerr << "qvl-sim: bad version override\n";
        return 2;
    }
    CSimulator sim(scenario);
    if (!o.record.empty())
        sim.record().setFile(o.record);
    sim.setSaveDirectory(o.saveDir);
    sim.advance(o.startAt);
    sim.server().setFault(o.fault);
    if (!sim.startServer(o.className, o.dir)) {
        std::cerr << "qvl-sim: cannot listen at " << sim.server().socketPath() << "\n";
        return 1;
    }
    if (o.xplanePort >= 0) {
        sim.xplaneServer().setFault(o.xplaneFault);
        if (!sim.startXPlaneServer(static_cast<std::uint16_t>(o.xplanePort), o.xplaneBeacon)) {
            std::cerr << "qvl-sim: cannot listen on UDP port " << o.xplanePort << "\n";
            return 1;
        }
    }
    if (o.flightgearPort >= 0) {
        sim.flightgearServer().setFault(o.flightgearFault);
        if (!sim.startFlightGearServer(static_cast<std::uint16_t>(o.flightgearPort))) {
            std::cerr << "qvl-sim: cannot listen on TCP port " << o.flightgearPort << "\n";
            return 1;
        }
    }
    std::cout << "ready " << sim.server().socketPath() << std::endl;
    if (o.xplanePort >= 0)
        std::cout << "xplane " << sim.xplaneServer().port() << std::endl;
    if (o.flightgearPort >= 0)
        std::cout << "flightgear " << sim.flightgearServer().port() << std::endl;
    sim.runClock(o.timeScale, g_running);
    sim.stopServer();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    std::signal(SIGTERM, onSignal);
    std::signal(SIGINT, onSignal);
#ifdef SIGPIPE
    std::signal(SIGPIPE, SIG_IGN);
#endif
    if (argc >= 2 && std::string(argv[1]) == "list")
        return listScenarios();
    if (argc == 3 && std::string(argv[1]) == "dry-run")
        return dryRun(argv[2]);
    Options o;
    if (argc < 2 || std::string(argv[1]) != "run" || !parseOptions(argc, argv, o))
        return usage();
    return run(o);
}
