// The bridge choice made once while the window is created.
#include "sim/SimulatorChoice.h"

#include "sim/fsuipc/FlightSimulatorInterfaceUsingFsuipc.h"
#include "sim/simconnect/FlightSimulatorInterfaceUsingSdk.h"

std::unique_ptr<CFlightSimulatorInterface> createSimulatorInterface(const std::string& fsInterfaceSetting,
                                                                    CClientInterface& client)
{
    if (fsInterfaceSetting == "SimConnect")
        return std::make_unique<CFlightSimulatorInterfaceUsingSdk>(client);
    if (fsInterfaceSetting == "FSUIPC")
        return std::make_unique<CFlightSimulatorInterfaceUsingFsuipc>(client);
    auto sdk = std::make_unique<CFlightSimulatorInterfaceUsingSdk>(client);
    if (sdk->connect())
        return sdk;
    sdk.reset();
    return std::make_unique<CFlightSimulatorInterfaceUsingFsuipc>(client);
}
