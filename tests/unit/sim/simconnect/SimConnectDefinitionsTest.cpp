// The data definitions the adapter registers, against the table written out
// by hand: a misplaced, misspelt or mistyped entry moves every value behind it.
#include "sim/simconnect/SimConnectDefinitions.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using namespace SimConnectDefinitions;

// define|variable|units|type, in registration order; the 64 payload stations
// (after PAYLOAD STATION COUNT) are added below.
const char* const kPollHead = R"(0|Plane Latitude|degrees|FLOAT64
0|Plane Longitude|degrees|FLOAT64
0|PLANE HEADING DEGREES MAGNETIC|degrees|FLOAT64
0|Light Landing|bool|INT32
0|Simulation Rate|number|INT32
0|Radio Height|feet|FLOAT64
0|Pressure Altitude|feet|FLOAT64
0|Ground Altitude|feet|FLOAT64
0|Vertical Speed|feet per minute|FLOAT64
0|Crash Flag|enum|INT32
0|Brake Parking Position|position|INT32
0|Airspeed Indicated|knots|FLOAT64
0|Ground Velocity|knots|FLOAT64
0|Max Gross Weight|kg|FLOAT64
0|Empty Weight|kg|FLOAT64
0|Sim On Ground|bool|INT32
0|Number Of Engines|number|INT32
0|Is Slew Active|bool|INT32
0|GEAR HANDLE POSITION|bool|INT32
0|IS GEAR RETRACTABLE|bool|INT32
0|LIGHT ON STATES|number|INT32
0|SURFACE TYPE|enum|INT32
0|PAYLOAD STATION COUNT|number|INT32
)";

const char* const kRest = R"(0|FLAPS HANDLE PERCENT|percent over 100|FLOAT32
1|FUEL TANK CENTER LEVEL|percent over 100|FLOAT64
1|FUEL TANK CENTER2 LEVEL|percent over 100|FLOAT64
1|FUEL TANK CENTER3 LEVEL|percent over 100|FLOAT64
1|FUEL TANK LEFT MAIN LEVEL|percent over 100|FLOAT64
1|FUEL TANK RIGHT MAIN LEVEL|percent over 100|FLOAT64
1|FUEL TANK LEFT AUX LEVEL|percent over 100|FLOAT64
1|FUEL TANK RIGHT AUX LEVEL|percent over 100|FLOAT64
1|FUEL TANK LEFT TIP LEVEL|percent over 100|FLOAT64
1|FUEL TANK RIGHT TIP LEVEL|percent over 100|FLOAT64
1|FUEL TANK EXTERNAL1 LEVEL|percent over 100|FLOAT64
1|FUEL TANK EXTERNAL2 LEVEL|percent over 100|FLOAT64
1|FUEL TANK CENTER CAPACITY|gallons|FLOAT64
1|FUEL TANK CENTER2 CAPACITY|gallons|FLOAT64
1|FUEL TANK CENTER3 CAPACITY|gallons|FLOAT64
1|FUEL TANK LEFT MAIN CAPACITY|gallons|FLOAT64
1|FUEL TANK RIGHT MAIN CAPACITY|gallons|FLOAT64
1|FUEL TANK LEFT AUX CAPACITY|gallons|FLOAT64
1|FUEL TANK RIGHT AUX CAPACITY|gallons|FLOAT64
1|FUEL TANK LEFT TIP CAPACITY|gallons|FLOAT64
1|FUEL TANK RIGHT TIP CAPACITY|gallons|FLOAT64
1|FUEL TANK EXTERNAL1 CAPACITY|gallons|FLOAT64
1|FUEL TANK EXTERNAL2 CAPACITY|gallons|FLOAT64
1|FUEL WEIGHT PER GALLON|kg|FLOAT64
1|FUEL TOTAL QUANTITY|gallons|FLOAT64
2|FUEL TANK CENTER LEVEL|percent over 100|FLOAT32
2|FUEL TANK LEFT MAIN LEVEL|percent over 100|FLOAT32
2|FUEL TANK RIGHT MAIN LEVEL|percent over 100|FLOAT32
2|FUEL TANK LEFT AUX LEVEL|percent over 100|FLOAT32
2|FUEL TANK RIGHT AUX LEVEL|percent over 100|FLOAT32
2|FUEL TANK LEFT TIP LEVEL|percent over 100|FLOAT32
2|FUEL TANK RIGHT TIP LEVEL|percent over 100|FLOAT32
2|FUEL TANK CENTER2 LEVEL|percent over 100|FLOAT32
2|FUEL TANK CENTER3 LEVEL|percent over 100|FLOAT32
2|FUEL TANK EXTERNAL1 LEVEL|percent over 100|FLOAT32
2|FUEL TANK EXTERNAL2 LEVEL|percent over 100|FLOAT32
3|ZULU TIME|seconds|FLOAT64
3|LOCAL TIME|seconds|FLOAT64
3|Pause|number|INT32
4|IS SLEW ALLOWED|bool|INT32
5|Simulation Rate|number|FLOAT32
6|ENG ON FIRE:1|bool|INT32
7|ENG ON FIRE:2|bool|INT32
8|ENG ON FIRE:3|bool|INT32
9|ENG ON FIRE:4|bool|INT32
10|GEAR HANDLE POSITION|bool|INT32
11|FLAPS HANDLE INDEX|number|INT32
)";

// The library's own type numbers: INT32 1, INT64 2, FLOAT32 3, FLOAT64 4.
const char* typeName(int type)
{
    switch (type) {
    case 1:
        return "INT32";
    case 3:
        return "FLOAT32";
    case 4:
        return "FLOAT64";
    default:
        return "?";
    }
}

TEST(SimConnectDefinitions, MatchTheTableEntryByEntry)
{
    std::string expected = kPollHead;
    for (int station = 1; station <= 64; ++station)
        expected += "0|PAYLOAD STATION WEIGHT:" + std::to_string(station) + "|kg|FLOAT64\n";
    expected += kRest;
    std::ostringstream actual;
    for (const Datum& d : allData())
        actual << d.define << '|' << d.name << '|' << d.units << '|' << typeName(static_cast<int>(d.type)) << '\n';
    EXPECT_EQ(actual.str(), expected);
    // Where the values lie in each returned block.
    EXPECT_EQ(blockSize(DefinePoll), 11u * 8 + 12u * 4 + 64u * 8 + 4);
    EXPECT_EQ(blockSize(DefineTanks), 24u * 8);
    EXPECT_EQ(blockSize(DefineTankLevels), 44u);
    EXPECT_EQ(blockSize(DefineClock), 20u);
}

} // namespace
