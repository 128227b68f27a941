// The program flights' shared set-up: service, data folder, held scenario.
#include "DemoFlightSetup.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace DemoFlight {

std::string readFile(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string heldScenario(const fs::path& folder, const std::string& name, int holdSeconds)
{
    std::string text = readFile(std::string(QVL_SIM_SCENARIO_DIR) + "/" + name + ".json");
    const std::string first = "\"seconds\": 60";
    const std::size_t at = text.find(first);
    if (at != std::string::npos)
        text.replace(at, first.size(), "\"seconds\": " + std::to_string(holdSeconds));
    const fs::path path = folder / (name + ".json");
    std::ofstream(path) << text;
    return path.string();
}

void Setup::start(const std::string& bridge)
{
    ASSERT_TRUE(service.start());
    ASSERT_TRUE(store.open(service.databaseFile())) << store.error();
    ASSERT_TRUE(store.seedDemo());
    folder = fs::path(fsuipc.path()) / "client";
    fs::create_directories(folder);
    options = "[settings]\nTracker = 1\nSimpleFuel = 0\nEnableAutosave = 1\nFSInterface = " + bridge +
              "\n[server]\nUrl = " + service.url() + "\nCAFile = " + service.caFile() + "\n";
    std::ofstream(folder / "quenvale.ini") << "[login]\nUser = demo\nPassword = demo123\n" << options;
}

} // namespace DemoFlight
