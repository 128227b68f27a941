// Where the FlightGear bridge finds the simulator's property server: the
// settings section "flightgear" (Host, Port), the port given to fgfs as
// --telnet=<port>.
#pragma once

#include <cstdint>
#include <string>

struct FlightGearSettings {
    std::string host = "127.0.0.1";
    std::uint16_t port = 5401;

    // Host and Port of the settings; a missing host or an unusable port keeps the default.
    static FlightGearSettings fromValues(const std::string& host, int port);
};
