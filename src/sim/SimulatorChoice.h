// Which simulator bridge the client builds, from the "FSInterface" setting.
#pragma once

#include "sim/FlightSimulatorInterface.h"
#include "sim/xplane/XPlaneSettings.h"

#include <memory>
#include <string>

class CClientInterface;

// "SimConnect", "FSUIPC" and "X-Plane" build that bridge; anything else tries
// SimConnect first, then X-Plane at its address or wherever its beacon comes
// from, and falls back to FSUIPC when neither answers.
std::unique_ptr<CFlightSimulatorInterface> createSimulatorInterface(const std::string& fsInterfaceSetting,
                                                                    CClientInterface& client,
                                                                    const XPlaneSettings& xplane = {});
