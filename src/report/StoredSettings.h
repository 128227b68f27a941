// The settings sections that the layers below the store read: the service's
// addresses and where the network bridges find their simulators. Read here,
// beside the store, and handed down as values.
#pragma once

#include "server/ServerSettings.h"
#include "sim/SimulatorChoice.h"

class CStoredSettings {
public:
    // The section "server".
    static CServerSettings server();
    // The sections "xplane" and "flightgear".
    static SimulatorAddresses simulatorAddresses();
};
