// createSimulatorInterface: the FSUIPC bridge serves every setting until the
// SimConnect bridge joins.
#include "sim/SimulatorChoice.h"

#include "sim/fsuipc/FlightSimulatorInterfaceUsingFsuipc.h"

std::unique_ptr<CFlightSimulatorInterface> createSimulatorInterface(const std::string&, CClientInterface& client)
{
    return std::make_unique<CFlightSimulatorInterfaceUsingFsuipc>(client);
}
