// XPlaneSettings: the settings section "xplane".
#include "sim/xplane/XPlaneSettings.h"

XPlaneSettings XPlaneSettings::fromValues(const std::string& host, int port)
{
    XPlaneSettings s;
    if (!host.empty())
        s.host = host;
    if (port > 0 && port <= 65535)
        s.port = static_cast<std::uint16_t>(port);
    return s;
}
