// FlightGearSettings: the settings section "flightgear".
#include "sim/flightgear/FlightGearSettings.h"

#include "report/IniParser.h"

FlightGearSettings FlightGearSettings::load()
{
    FlightGearSettings s;
    CIniParser& ini = CIniParser::getInstance();
    const std::string host = ini.readConfigString("flightgear", "Host");
    if (!host.empty())
        s.host = host;
    const int port = ini.readConfigInt("flightgear", "Port");
    if (port > 0 && port <= 65535)
        s.port = static_cast<std::uint16_t>(port);
    return s;
}
