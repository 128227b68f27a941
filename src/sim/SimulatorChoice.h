// Which simulator bridge the client builds, from the "FSInterface" setting.
#pragma once

#include "sim/FlightSimulatorInterface.h"
#include "sim/flightgear/FlightGearSettings.h"
#include "sim/xplane/XPlaneSettings.h"

#include <memory>
#include <string>
#include <utility>

class CClientInterface;

// Where the network bridges look for their simulators.
struct SimulatorAddresses {
    // An X-Plane address alone keeps FlightGear's default.
    SimulatorAddresses(XPlaneSettings x = {}, FlightGearSettings f = {}) : xplane(std::move(x)), flightgear(std::move(f))
    {
    }

    XPlaneSettings xplane;
    FlightGearSettings flightgear;
};

// "SimConnect", "FSUIPC", "X-Plane" and "FlightGear" build that bridge;
// anything else tries SimConnect first, then X-Plane at its address or
// wherever its beacon comes from, then FlightGear's property server, and
// falls back to FSUIPC when none answers.
std::unique_ptr<CFlightSimulatorInterface> createSimulatorInterface(const std::string& fsInterfaceSetting,
                                                                    CClientInterface& client,
                                                                    const SimulatorAddresses& where = {});
