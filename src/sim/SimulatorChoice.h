// Which simulator bridge the client uses, from the "FSInterface" setting.
#pragma once

#include <memory>
#include <string>

class CClientInterface;
class CFlightSimulatorInterface;

// Creates the bridge the setting asks for; the bridge cannot change while the client runs.
std::unique_ptr<CFlightSimulatorInterface> createSimulatorInterface(const std::string& fsInterfaceSetting,
                                                                    CClientInterface& client);
