// CStoredSettings: the sections read from the settings store.
#include "report/StoredSettings.h"

#include "report/IniParser.h"

CServerSettings CStoredSettings::server()
{
    CIniParser& ini = CIniParser::getInstance();
    return CServerSettings::fromValues(ini.readConfigString("server", "Url"), ini.readConfigString("server", "RelayUrl"),
                                       ini.readConfigString("server", "WebUrl"),
                                       ini.readConfigString("server", "CAFile"));
}

SimulatorAddresses CStoredSettings::simulatorAddresses()
{
    CIniParser& ini = CIniParser::getInstance();
    return {XPlaneSettings::fromValues(ini.readConfigString("xplane", "Host"), ini.readConfigInt("xplane", "Port")),
            FlightGearSettings::fromValues(ini.readConfigString("flightgear", "Host"),
                                           ini.readConfigInt("flightgear", "Port"))};
}
