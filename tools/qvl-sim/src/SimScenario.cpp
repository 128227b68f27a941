// Scenario files: JSON read with property_tree, every value range-checked so a
// bad file is refused with a reason instead of flying nonsense.
#include "SimScenario.h"

#include "UtcCalendar.h"

#include <boost/property_tree/json_parser.hpp>
#include <boost/property_tree/ptree.hpp>

#include <cmath>
#include <ctime>
#include <fstream>
#include <iomanip>
#include <map>
#include <sstream>

namespace pt = boost::property_tree;

namespace {

struct BadValue {
    std::string what;
};

double number(const pt::ptree& node, const std::string& key, double fallback, double lo, double hi)
{
    const auto child = node.get_optional<std::string>(key);
    if (!child)
        return fallback;
    std::istringstream in(*child);
    in.imbue(std::locale::classic());
    double v = 0.0;
    if (!(in >> v) || !std::isfinite(v) || v < lo || v > hi)
        throw BadValue{"\"" + key + "\" must be a number from " + std::to_string(lo) + " to " + std::to_string(hi)};
    return v;
}

bool flag(const pt::ptree& node, const std::string& key, bool fallback)
{
    const auto child = node.get_optional<std::string>(key);
    if (!child)
        return fallback;
    if (*child == "true" || *child == "1")
        return true;
    if (*child == "false" || *child == "0")
        return false;
    throw BadValue{"\"" + key + "\" must be true or false"};
}

const std::map<std::string, int> kTankSlots = {
    {"centre", 0},   {"leftMain", 1}, {"rightMain", 2}, {"leftAux", 3},   {"rightAux", 4},   {"leftTip", 5},
    {"rightTip", 6}, {"centre2", 7},  {"centre3", 8},   {"external1", 9}, {"external2", 10},
};

const std::map<std::string, SimAction::Type> kActionTypes = {
    {"wait", SimAction::Type::Wait},
    {"parkingBrake", SimAction::Type::ParkingBrake},
    {"engines", SimAction::Type::Engines},
    {"taxi", SimAction::Type::Taxi},
    {"turn", SimAction::Type::Turn},
    {"takeoff", SimAction::Type::Takeoff},
    {"climb", SimAction::Type::Climb},
    {"cruise", SimAction::Type::Cruise},
    {"descend", SimAction::Type::Descend},
    {"land", SimAction::Type::Land},
    {"gear", SimAction::Type::Gear},
    {"flaps", SimAction::Type::Flaps},
    {"lights", SimAction::Type::Lights},
    {"surface", SimAction::Type::Surface},
    {"slewJump", SimAction::Type::SlewJump},
    {"altitudeJump", SimAction::Type::AltitudeJump},
    {"refuel", SimAction::Type::Refuel},
    {"simRate", SimAction::Type::SimRate},
    {"pause", SimAction::Type::Pause},
    {"crash", SimAction::Type::Crash},
    {"disconnect", SimAction::Type::Disconnect},
    {"slew", SimAction::Type::Slew},
};

SimAirportPoint airport(const pt::ptree& node)
{
    SimAirportPoint a;
    a.code = node.get<std::string>("airport", "");
    if (a.code.size() > 34)
        throw BadValue{"airport code longer than 34 characters"};
    a.lat = number(node, "lat", 0.0, -90.0, 90.0);
    a.lon = number(node, "lon", 0.0, -180.0, 180.0);
    a.elevationFt = number(node, "elevationFt", 0.0, -1500.0, 15000.0);
    a.present = true;
    return a;
}

std::int64_t utcSeconds(const std::string& text)
{
    std::tm tm{};
    std::istringstream in(text);
    in >> std::get_time(&tm, "%Y-%m-%dT%H:%M:%S");
    if (in.fail() || tm.tm_year < 0 || tm.tm_year > 8099)
        throw BadValue{"\"utc\" must look like 2026-06-01T08:00:00"};
    return UtcCalendar::toEpoch(tm);
}

void parseAircraft(const pt::ptree& node, SimAircraftType& a)
{
    a.engines = static_cast<int>(number(node, "engines", 2, 1, 4));
    a.fuelFlowGallonsPerHour = number(node, "fuelFlowGallonsPerHour", 300.0, 0.0, 5000.0);
    a.fuelWeightLbsPerGallon = number(node, "fuelWeightLbsPerGallon", 6.7, 1.0, 20.0);
    a.emptyWeightKg = number(node, "emptyWeightKg", 40000.0, 100.0, 400000.0);
    a.maxGrossWeightKg = number(node, "maxGrossWeightKg", 70000.0, 100.0, 600000.0);
    a.retractableGear = flag(node, "retractableGear", true);
    if (const auto tanks = node.get_child_optional("tanks")) {
        for (const auto& [key, tank] : *tanks) {
            const std::string slot = tank.get<std::string>("slot", "");
            const auto it = kTankSlots.find(slot);
            if (it == kTankSlots.end())
                throw BadValue{"unknown tank slot \"" + slot + "\""};
            a.tanks[it->second].capacityGallons = number(tank, "capacityGallons", 0.0, 0.0, 100000.0);
            a.tanks[it->second].fill = number(tank, "fill", 0.0, 0.0, 1.0);
        }
    }
    if (const auto stations = node.get_child_optional("payloadStationsKg")) {
        for (const auto& [key, station] : *stations) {
            // The module protocol serves the first 61; the client library asks for 64.
            if (a.payloadStationsKg.size() >= 128)
                throw BadValue{"at most 128 payload stations"};
            a.payloadStationsKg.push_back(number(station, "", 0.0, 0.0, 200000.0));
        }
    }
}

void parseIdentity(const pt::ptree& node, SimIdentity& id)
{
    const std::string version = node.get<std::string>("fsuipcVersion", "0x70100000");
    std::size_t used = 0;
    unsigned long long word = 0;
    try {
        word = std::stoull(version, &used, 0);
    } catch (const std::exception&) {
        used = 0;
    }
    if (version.empty() || used != version.size() || word > 0xFFFFFFFFull)
        throw BadValue{"\"fsuipcVersion\" must be a 32-bit number"};
    id.fsuipcVersion = static_cast<std::uint32_t>(word);
    id.version = static_cast<std::uint16_t>(number(node, "version", 8, 0, 65535));
    id.subVersion = static_cast<std::uint8_t>(number(node, "subVersion", 0, 0, 255));
    id.versionMagic = flag(node, "versionMagic", true);
    id.flightTimeCounter = flag(node, "flightTimeCounter", false);
}

SimAction action(const pt::ptree& node)
{
    SimAction a;
    const std::string type = node.get<std::string>("action", "");
    const auto it = kActionTypes.find(type);
    if (it == kActionTypes.end())
        throw BadValue{"unknown action \"" + type + "\""};
    a.type = it->second;
    a.seconds = number(node, "seconds", 0.0, 0.0, 86400.0);
    a.speedKts = number(node, "speed", 0.0, 0.0, 700.0);
    a.rateFpm = number(node, "rate", 0.0, -10000.0, 10000.0);
    a.altitudeFt = number(node, "altitude", 0.0, -1500.0, 60000.0);
    a.headingDeg = number(node, "heading", 0.0, 0.0, 360.0);
    a.value = number(node, "value", 0.0, -100000.0, 100000.0);
    a.lat = number(node, "lat", 0.0, -90.0, 90.0);
    a.lon = number(node, "lon", 0.0, -180.0, 180.0);
    a.untilNm = number(node, "untilNm", -1.0, -1.0, 20000.0);
    a.on = flag(node, "on", false);
    a.lightBits = (flag(node, "nav", false) ? 0x01 : 0) | (flag(node, "beacon", false) ? 0x02 : 0) |
                  (flag(node, "landing", false) ? 0x04 : 0) | (flag(node, "strobe", false) ? 0x10 : 0);
    return a;
}

void parseTree(const pt::ptree& root, SimScenario& s)
{
    s.name = root.get<std::string>("name", "unnamed");
    if (const auto id = root.get_child_optional("simulator"))
        parseIdentity(*id, s.identity);
    const auto aircraft = root.get_child_optional("aircraft");
    if (!aircraft)
        throw BadValue{"no \"aircraft\""};
    parseAircraft(*aircraft, s.aircraft);
    const auto start = root.get_child_optional("start");
    if (!start)
        throw BadValue{"no \"start\""};
    s.start = airport(*start);
    s.startHeadingDeg = number(*start, "heading", 0.0, 0.0, 360.0);
    s.startUtcSeconds = utcSeconds(start->get<std::string>("utc", "2026-06-01T08:00:00"));
    s.localOffsetMinutes = static_cast<int>(number(*start, "localOffsetMinutes", 0, -720, 840));
    if (const auto arrival = root.get_child_optional("arrival"))
        s.arrival = airport(*arrival);
    s.surfaceType = static_cast<int>(number(root, "surface", 4, 0, 24));
    if (const auto actions = root.get_child_optional("actions")) {
        for (const auto& [key, node] : *actions)
            s.actions.push_back(action(node));
    }
}

} // namespace

bool SimScenario::parse(const std::string& json, SimScenario& out, std::string& error)
{
    try {
        std::istringstream in(json);
        pt::ptree root;
        pt::read_json(in, root);
        SimScenario s;
        parseTree(root, s);
        out = std::move(s);
        return true;
    } catch (const pt::json_parser_error& e) {
        error = "not valid JSON: " + e.message() + " at line " + std::to_string(e.line());
    } catch (const pt::ptree_error& e) {
        error = std::string("bad value: ") + e.what();
    } catch (const BadValue& e) {
        error = e.what;
    } catch (const std::exception& e) {
        error = e.what();
    }
    return false;
}

bool SimScenario::load(const std::string& path, SimScenario& out, std::string& error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + path;
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (!parse(text.str(), out, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}
