// Where the X-Plane bridge finds the simulator: the settings section "xplane"
// (Host, Port), and whether it also takes the address of a beacon it hears.
#pragma once

#include <cstdint>
#include <string>

struct XPlaneSettings {
    std::string host = "127.0.0.1";
    std::uint16_t port = 49000;
    // The automatic bridge choice also listens for X-Plane's beacon.
    bool listenForBeacon = false;

    // Host and Port of the settings; a missing host or an unusable port keeps the default.
    static XPlaneSettings fromValues(const std::string& host, int port);
};
