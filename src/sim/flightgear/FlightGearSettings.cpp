// FlightGearSettings: the settings section "flightgear".
#include "sim/flightgear/FlightGearSettings.h"

FlightGearSettings FlightGearSettings::fromValues(const std::string& host, int port)
{
    FlightGearSettings s;
    if (!host.empty())
        s.host = host;
    if (port > 0 && port <= 65535)
        s.port = static_cast<std::uint16_t>(port);
    return s;
}
