// What the headless console shows of a run's warning and error lines.
#include "app/headless/ConsoleLogPrinter.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using Level = CDebugLog::Level;

TEST(ConsoleLogPrinter, FoldsRepeatsAndNamesTheBuiltInRules)
{
    std::ostringstream out;
    CConsoleLogPrinter console(out);
    console.line(Level::Error, "CBlackbox", "loading blackbox.xml failed: File was not found");
    console.line(Level::Error, "CBlackbox", "loading blackbox.xml failed: File was not found");
    for (int i = 0; i < 520; ++i)
        console.line(Level::Warn, "CCheatDetector",
                     "Last tank and last fuel don't match: " + std::to_string(3000 - i) + " != 2999");
    console.line(Level::Debug, "CClient", "not shown");
    console.line(Level::Error, "CBlackbox", "parsing blackbox.xml failed: Error parsing\nelement");
    console.line(Level::Error, "CClient", "Call to getEverything failed, stopping checks!");
    console.line(Level::Warn, "CClient", "Call to getEverything failed, stopping checks!");
    console.line(Level::Error, "CClient", "Call to getEverything failed, stopping checks!");
    console.finish();
    EXPECT_EQ(out.str(), "Note: [CBlackbox] no blackbox.xml found: the built-in rules are in use\n"
                         "Warn: [CCheatDetector] Last tank and last fuel don't match: 3000 != 2999\n"
                         "Error: [CBlackbox] parsing blackbox.xml failed: Error parsing element\n"
                         "Error: [CClient] Call to getEverything failed, stopping checks!\n"
                         "Warn: [CClient] Call to getEverything failed, stopping checks!\n"
                         "Warn: [CCheatDetector] 520 times in all: Last tank and la...\n"
                         "Error: [CClient] 2 times in all: Call to getEvery...\n");
}

} // namespace
