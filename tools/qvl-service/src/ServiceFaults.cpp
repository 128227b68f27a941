// CServiceFaults: a tiny text file, written whole and renamed into place so
// the service never reads half a switch.
#include "ServiceFaults.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

CServiceFaults::CServiceFaults(std::string dataFolder) : file(std::move(dataFolder) + "/fault") {}

bool CServiceFaults::parseMode(const std::string& name, Mode& mode)
{
    static const struct {
        const char* name;
        Mode mode;
    } kModes[] = {{"none", None},           {"refuse", Refuse},   {"delay", Delay},
                  {"http500", Http500},     {"garbage", Garbage}, {"truncated", Truncated},
                  {"wrongword", WrongWord}, {"empty", Empty},     {"trickle", Trickle},
                  {"status", Status},       {"huge", Huge},       {"closed", Closed},
                  {"lost", Lost},           {"word", Word}};
    for (const auto& m : kModes) {
        if (name == m.name) {
            mode = m.mode;
            return true;
        }
    }
    return false;
}

CServiceFaults::State CServiceFaults::current() const
{
    State state;
    std::ifstream in(file);
    std::string name;
    if (!(in >> name) || !parseMode(name, state.mode))
        return State{};
    long long ms = 0;
    if (in >> ms && ms > 0)
        state.delayMs = static_cast<std::uint32_t>(ms > 3600000 ? 3600000 : ms);
    in >> state.function;
    return state;
}

bool CServiceFaults::write(const std::string& dataFolder, const std::string& mode, std::uint32_t delayMs,
                           const std::string& function)
{
    Mode parsed;
    if (!parseMode(mode, parsed))
        return false;
    const std::string target = dataFolder + "/fault";
    const std::string temp = target + ".tmp";
    {
        std::ofstream out(temp, std::ios::trunc);
        out << mode << ' ' << delayMs;
        if (!function.empty())
            out << ' ' << function;
        out << '\n';
        if (!out)
            return false;
    }
    std::error_code ec;
    std::filesystem::rename(temp, target, ec);
    return !ec;
}
