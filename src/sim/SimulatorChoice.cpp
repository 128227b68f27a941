// The bridge choice made once while the window is created.
#include "sim/SimulatorChoice.h"

#include "sim/fsuipc/FlightSimulatorInterfaceUsingFsuipc.h"
#include "sim/simconnect/FlightSimulatorInterfaceUsingSdk.h"
#include "sim/xplane/FlightSimulatorInterfaceUsingXPlane.h"

std::unique_ptr<CFlightSimulatorInterface> createSimulatorInterface(const std::string& fsInterfaceSetting,
                                                                    CClientInterface& client,
                                                                    const XPlaneSettings& xplane)
{
    if (fsInterfaceSetting == "SimConnect")
        return std::make_unique<CFlightSimulatorInterfaceUsingSdk>(client);
    if (fsInterfaceSetting == "FSUIPC")
        return std::make_unique<CFlightSimulatorInterfaceUsingFsuipc>(client);
    if (fsInterfaceSetting == "X-Plane")
        return std::make_unique<CFlightSimulatorInterfaceUsingXPlane>(client, xplane);
    auto sdk = std::make_unique<CFlightSimulatorInterfaceUsingSdk>(client);
    if (sdk->connect())
        return sdk;
    sdk.reset();
    XPlaneSettings listening = xplane;
    listening.listenForBeacon = true;
    auto xp = std::make_unique<CFlightSimulatorInterfaceUsingXPlane>(client, listening);
    if (xp->connect())
        return xp;
    xp.reset();
    return std::make_unique<CFlightSimulatorInterfaceUsingFsuipc>(client);
}
