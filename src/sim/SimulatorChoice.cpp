// The bridge choice made once while the window is created.
#include "sim/SimulatorChoice.h"

#include "sim/flightgear/FlightSimulatorInterfaceUsingFlightGear.h"
#include "sim/fsuipc/FlightSimulatorInterfaceUsingFsuipc.h"
#include "sim/simconnect/FlightSimulatorInterfaceUsingSdk.h"
#include "sim/xplane/FlightSimulatorInterfaceUsingXPlane.h"

std::unique_ptr<CFlightSimulatorInterface> createSimulatorInterface(const std::string& fsInterfaceSetting,
                                                                    CClientInterface& client,
                                                                    const SimulatorAddresses& where)
{
    if (fsInterfaceSetting == "SimConnect")
        return std::make_unique<CFlightSimulatorInterfaceUsingSdk>(client);
    if (fsInterfaceSetting == "FSUIPC")
        return std::make_unique<CFlightSimulatorInterfaceUsingFsuipc>(client);
    if (fsInterfaceSetting == "X-Plane")
        return std::make_unique<CFlightSimulatorInterfaceUsingXPlane>(client, where.xplane);
    if (fsInterfaceSetting == "FlightGear")
        return std::make_unique<CFlightSimulatorInterfaceUsingFlightGear>(client, where.flightgear);
    auto sdk = std::make_unique<CFlightSimulatorInterfaceUsingSdk>(client);
    if (sdk->connect())
        return sdk;
    sdk.reset();
    XPlaneSettings listening = where.xplane;
    listening.listenForBeacon = true;
    auto xp = std::make_unique<CFlightSimulatorInterfaceUsingXPlane>(client, listening);
    if (xp->connect())
        return xp;
    xp.reset();
    auto fg = std::make_unique<CFlightSimulatorInterfaceUsingFlightGear>(client, where.flightgear);
    if (fg->connect())
        return fg;
    fg.reset();
    return std::make_unique<CFlightSimulatorInterfaceUsingFsuipc>(client);
}
