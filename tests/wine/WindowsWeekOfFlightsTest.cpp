// The first three flights of the week with the Windows program under Wine:
// quenvale.exe (QVL_WINE_CLIENT) in the prefix tools/wine-tests.sh set up,
// against this build's qvl-service and qvl-sim (its X-Plane interface, which
// Wine reaches over loopback). This side books the flights, switches the
// service's faults and reads its store, which the Windows suites cannot: a
// clean flight; one whose logs the service stops answering after the report;
// one after a restart, whose login sends the logs of the last.
#include "WeekOfFlights.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace {

constexpr const char* kWine = "/usr/lib/wine/wine64";

TEST(WindowsProgramWeek, FirstThreeFlightsUnderWine)
{
    const char* program = std::getenv("QVL_WINE_CLIENT");
    ASSERT_TRUE(program != nullptr && std::filesystem::is_regular_file(program))
        << "QVL_WINE_CLIENT names the Windows quenvale.exe (tools/wine-tests.sh sets it)";
    ASSERT_TRUE(std::getenv("WINEPREFIX") != nullptr) << "run by tools/wine-tests.sh, in its Wine prefix";
    Week::Flights week(Week::WineClient{kWine, program, 42000 + static_cast<int>(getpid() % 8000)});
    std::unique_ptr<ClientProgram> client;
    ASSERT_NO_FATAL_FAILURE(Week::flyFirstThree(week, 40, "", client));
    ASSERT_EQ(client->finish(120000), 0) << client->output() << Week::debugLines(week.demo.folder);
}

} // namespace
