// ScriptedFlightGear: the property map behind the scripted connections.
#include "support/ScriptedFlightGear.h"

#include <algorithm>
#include <cstring>

namespace {

class ScriptedStream final : public TcpStream {
public:
    explicit ScriptedStream(ScriptedFlightGear& server) : fg(server) {}

    bool sendAll(const std::string& data) override
    {
        if (closed)
            return false;
        input += data;
        std::string answer;
        for (std::size_t end; (end = input.find("\r\n")) != std::string::npos;) {
            take(input.substr(0, end), answer);
            input.erase(0, end + 2);
        }
        if (!answer.empty()) {
            if (fg.spoil)
                fg.spoil(answer);
            output += answer;
            if (fg.batchesLeft > 0 && --fg.batchesLeft == 0)
                closed = true;
        }
        return true;
    }

    long receive(char* buffer, std::size_t capacity, int) override
    {
        if (output.empty())
            return closed ? -1 : 0;
        const std::size_t n = std::min(capacity, output.size());
        std::memcpy(buffer, output.data(), n);
        output.erase(0, n);
        return static_cast<long>(n);
    }

private:
    void take(const std::string& line, std::string& answer)
    {
        if (line.rfind("get ", 0) == 0) {
            const auto found = fg.properties.find(line.substr(4));
            // FlightGear answers a node it does not have with an empty line.
            answer += found != fg.properties.end() ? found->second : "";
            answer += "\r\n";
        } else if (line.rfind("set ", 0) == 0) {
            const std::size_t space = line.find(' ', 4);
            const std::string path = line.substr(4, space - 4);
            const std::string value = space == std::string::npos ? "" : line.substr(space + 1);
            fg.properties[path] = value;
            fg.sets.push_back(path + "=" + value);
        }
    }

    ScriptedFlightGear& fg;
    std::string input;
    std::string output;
    bool closed = false;
};

} // namespace

ScriptedFlightGear::ScriptedFlightGear()
{
    setParked();
    setTcpNetwork(this);
}

ScriptedFlightGear::~ScriptedFlightGear()
{
    setTcpNetwork(nullptr);
}

std::unique_ptr<TcpStream> ScriptedFlightGear::connect(const std::string&, std::uint16_t, int, std::string& error)
{
    if (refuse) {
        error = "Connection refused";
        return nullptr;
    }
    ++connections;
    return std::make_unique<ScriptedStream>(*this);
}

void ScriptedFlightGear::setParked()
{
    properties = {
        {"/position/latitude-deg", "63.985"},
        {"/position/longitude-deg", "-22.6056"},
        {"/orientation/heading-magnetic-deg", "201.5"},
        {"/instrumentation/altimeter/pressure-alt-ft", "180.2"},
        {"/position/altitude-agl-ft", "3.4"},
        {"/position/ground-elev-ft", "167.9"},
        {"/velocities/vertical-speed-fps", "0"},
        {"/instrumentation/airspeed-indicator/indicated-speed-kt", "0"},
        {"/velocities/groundspeed-kt", "0"},
        {"/gear/gear[0]/wow", "true"},
        {"/gear/gear[1]/wow", "true"},
        {"/gear/gear[2]/wow", "true"},
        {"/controls/gear/brake-parking", "1"},
        {"/controls/gear/gear-down", "true"},
        {"/controls/flight/flaps", "0"},
        {"/controls/lighting/landing-lights", "false"},
        {"/controls/lighting/nav-lights", "false"},
        {"/controls/lighting/beacon", "false"},
        {"/controls/lighting/strobe", "false"},
        {"/fdm/jsbsim/inertia/empty-weight-lbs", "1500"},
        {"/limits/mass-and-balance/maximum-takeoff-mass-lbs", "2550"},
        {"/sim/speed-up", "1"},
        {"/sim/freeze/master", "false"},
        {"/sim/replay/replay-state", "false"},
        {"/sim/crashed", "false"},
        {"/sim/time/utc/day-seconds", "36000"},
        {"/sim/time/local-day-seconds", "36000"},
        {"/sim/aircraft", "c172p"},
        {"/sim/version/flightgear", "2020.3.16"},
        {"/engines/engine[0]/running", "false"},
    };
    for (int i = 0; i < 2; ++i) {
        const std::string tank = "/consumables/fuel/tank[" + std::to_string(i) + "]/";
        properties[tank + "level-lbs"] = "60";
        properties[tank + "capacity-gal_us"] = "21.5";
        properties[tank + "density-ppg"] = "6";
    }
    // A tank of another variant of the aircraft, not in use.
    properties["/consumables/fuel/tank[2]/capacity-gal_us"] = "33.9";
    properties["/consumables/fuel/tank[2]/selected"] = "false";
    properties["/consumables/fuel/tank[2]/level-lbs"] = "0";
    for (int i = 0; i < 4; ++i)
        properties["/payload/weight[" + std::to_string(i) + "]/weight-lb"] = i == 0 ? "180" : "0";
}
