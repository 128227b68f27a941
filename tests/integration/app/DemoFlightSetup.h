// What the program flights share: the demo service with its booking, the
// client's data folder among the simulator module's names, and the demo
// scenario held at the stand long enough for the pilot to log in and fuel up.
#pragma once

#include "ServiceStore.h"
#include "support/FsuipcTestDirectory.h"
#include "support/ServiceProcess.h"

#include <filesystem>
#include <string>

namespace DemoFlight {

std::string readFile(const std::string& path);

// The scenario `name`, written into `folder` with its first wait at the stand
// lengthened to `holdSeconds` (simulator seconds), as tools/run-demo.sh does.
std::string heldScenario(const std::filesystem::path& folder, const std::string& name, int holdSeconds = 300);

// The service with the demo pilot's booking, and the client's data folder
// (settings for the given bridge, the demo login) among the module's names.
struct Setup {
    ServiceProcess service{QVL_BINARY_DIR "/tools/qvl-service/qvl-service"};
    CServiceStore store;
    CFsuipcTestDirectory fsuipc;
    std::filesystem::path folder;
    std::string options; // the settings without the login

    void start(const std::string& bridge);
};

} // namespace DemoFlight
