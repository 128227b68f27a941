// XPlaneSettings: the settings section "xplane".
#include "sim/xplane/XPlaneSettings.h"

#include "report/IniParser.h"

XPlaneSettings XPlaneSettings::load()
{
    XPlaneSettings s;
    CIniParser& ini = CIniParser::getInstance();
    const std::string host = ini.readConfigString("xplane", "Host");
    if (!host.empty())
        s.host = host;
    const int port = ini.readConfigInt("xplane", "Port");
    if (port > 0 && port <= 65535)
        s.port = static_cast<std::uint16_t>(port);
    return s;
}
