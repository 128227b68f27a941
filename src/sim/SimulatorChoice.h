// Which simulator bridge the client builds, from the "FSInterface" setting.
#pragma once

#include "sim/FlightSimulatorInterface.h"

#include <memory>
#include <string>

class CClientInterface;

// "SimConnect" and "FSUIPC" build that bridge; anything else tries SimConnect
// first and falls back to FSUIPC when it cannot connect.
std::unique_ptr<CFlightSimulatorInterface> createSimulatorInterface(const std::string& fsInterfaceSetting,
                                                                    CClientInterface& client);
