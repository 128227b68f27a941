// The blackbox rules as a pilot meets them: which switch movements and phases
// fire an event, when it re-arms, and what the recorder keeps and logs.
#include "monitor/blackbox/Blackbox.h"

#include "core/ClientConfig.h"
#include "core/FixedText.h"
#include "monitor/FlightState.h"
#include "platform/headless/RecordingSoundOutput.h"
#include "server/ClientInterface.h"
#include "sim/FlightSimulatorObjects.h"
#include "support/LogCapture.h"
#include "support/SpecialFile.h"
#include "ui/Sound.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <locale>
#include <string>
#include <vector>


namespace {

using Snap = CFlightSimulatorObjects;

class BlackboxTest : public ::testing::Test {
protected:
    BlackboxTest() { sound.enable(); }

    // The texts logged by one check.
    std::vector<std::string> checkOnce()
    {
        const std::size_t before = box.getEventLog().size();
        box.check();
        std::vector<std::string> texts;
        for (std::size_t i = before; i < box.getEventLog().size(); ++i)
            texts.push_back(fieldText(box.getEventLog()[i].text));
        return texts;
    }

    LogCapture logs;
    RecordingSoundOutput output;
    CSound sound{output};
    Snap snap;
    CClientInterface booking;
    CBlackbox box{sound, &snap, booking};
};

struct Step {
    std::function<void(Snap&)> set;
    bool fires;
};

struct RuleCase {
    const char* name;
    const char* rule; // one element inside <blackbox>, its text "E"
    std::vector<Step> steps;
};

void flaps(Snap& s, float v)
{
    s.fFlaps = v;
}

const RuleCase kRuleCases[] = {
    {"HalfFlapsFireWhenJumpedOverUpAndDown",
     "<event var='flaps' value='0.5' method='equal' multiple='1' text='E'/>",
     {{[](Snap& s) { flaps(s, 0); }, false},
      {[](Snap& s) { flaps(s, 1); }, true},
      {[](Snap& s) { flaps(s, 1); }, false},
      {[](Snap& s) { flaps(s, 0); }, true},
      {[](Snap& s) { flaps(s, 0); }, false}}},
    {"LandedRuleSilentInOtherPhasesAndRearmedThere",
     "<event var='ias' value='1' method='greater' multiple='1' flightstate='Landed' text='E'/>",
     {{[](Snap& s) { s.lFlightPhase = PhaseClimb, s.lIndicatedAirspeed = 250; }, false},
      {[](Snap& s) { s.lFlightPhase = PhaseDescent, s.lIndicatedAirspeed = 140; }, false},
      {[](Snap& s) { s.lFlightPhase = PhaseLanded, s.lIndicatedAirspeed = 120; }, true},
      {[](Snap& s) { s.lIndicatedAirspeed = 60; }, false},
      {[](Snap& s) { s.lFlightPhase = PhaseOnBlock, s.lIndicatedAirspeed = 60; }, false},
      {[](Snap& s) { s.lFlightPhase = PhaseLanded; }, true}}},
    {"UnknownVariableReadsAirspeed",
     "<event var='Airspeed' value='100' method='greater' multiple='1' text='E'/>",
     {{[](Snap& s) { s.lGroundSpeed = 300, s.lIndicatedAirspeed = 50; }, false},
      {[](Snap& s) { s.lIndicatedAirspeed = 150; }, true}}},
    {"MultipleTrueIsASingleEvent",
     "<event var='gear' value='1' method='equal' multiple='true' text='E'/>",
     {{[](Snap& s) { s.bGearDown = true; }, true},
      {[](Snap& s) { s.bGearDown = false; }, false},
      {[](Snap& s) { s.bGearDown = true; }, false}}},
    {"CapitalGreaterComparesAsEqual",
     "<event var='ias' value='100' method='Greater' multiple='1' text='E'/>",
     {{[](Snap& s) { s.lIndicatedAirspeed = 150; }, true},
      {[](Snap& s) { s.lIndicatedAirspeed = 200; }, false},
      {[](Snap& s) { s.lIndicatedAirspeed = 50; }, true}}},
    {"EmptyCombinationFiresOnceEvenWhenMultiple",
     "<combination multiple='1' text='E'></combination>",
     {{[](Snap&) {}, true}, {[](Snap&) {}, false}, {[](Snap&) {}, false}}},
    {"CombinationFiresWhenAllHoldAndRearmsWhenOneFails",
     "<combination multiple='1' text='E'><event var='gear' value='1' method='equal'/>"
     "<event var='altitudeagl' value='1000' method='less'/></combination>",
     {{[](Snap& s) { s.bGearDown = false, s.lRadarAltitude = 800; }, false},
      {[](Snap& s) { s.bGearDown = true; }, true},
      {[](Snap& s) { s.lRadarAltitude = 700; }, false},
      {[](Snap& s) { s.lRadarAltitude = 1500; }, false},
      {[](Snap& s) { s.lRadarAltitude = 900; }, true}}},
    {"PhaseVariableMatchesOnlyItsOwnCode",
     "<event var='flightstate' value='6' method='equal' multiple='1' text='E'/>",
     {{[](Snap& s) { s.lFlightPhase = PhaseDescent; }, false},
      {[](Snap& s) { s.lFlightPhase = PhaseCruise; }, true},
      {[](Snap& s) { s.lFlightPhase = PhaseDescent; }, false}}},
    {"TextVariableIsPlainEquality",
     "<event var='closestairport' value='EDDM' method='equal' multiple='1' text='E'/>",
     {{[](Snap& s) { copyText(s.szClosestAirport, "EDDF"); }, false},
      {[](Snap& s) { copyText(s.szClosestAirport, "EDDM"); }, true},
      {[](Snap& s) { copyText(s.szClosestAirport, "EDDN"); }, false}}},
};

class BlackboxRules : public BlackboxTest, public ::testing::WithParamInterface<RuleCase> {};

TEST_P(BlackboxRules, FireAndRearm)
{
    ASSERT_TRUE(box.loadRulesFromText(std::string("<blackbox>") + GetParam().rule + "</blackbox>"));
    box.startFlight();
    int n = 0;
    for (const Step& step : GetParam().steps) {
        step.set(snap);
        const std::vector<std::string> expected =
            step.fires ? std::vector<std::string>{"E"} : std::vector<std::string>{};
        EXPECT_EQ(checkOnce(), expected) << "step " << n;
        ++n;
    }
}

INSTANTIATE_TEST_SUITE_P(Table, BlackboxRules, ::testing::ValuesIn(kRuleCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BlackboxTest, BuiltInRulesWhenNoFileExists)
{
    EXPECT_TRUE(logs.contains("loading blackbox.xml failed: File was not found"));
    EXPECT_EQ(box.getEventCount(), 8u);
    // The applause plays once after landing and leaves no record (it has no text).
    snap.lFlightPhase = PhaseLanded;
    snap.lIndicatedAirspeed = 80;
    box.startFlight();
    EXPECT_EQ(checkOnce(), (std::vector<std::string>{"Landing Lights off", "Gear up", "Flaps retracted"}));
    EXPECT_TRUE(checkOnce().empty());
    EXPECT_EQ(output.played, std::vector<std::string>{"sound/snd_applause.wav"});
    EXPECT_EQ(box.getEventCount(), 7u);
}

TEST_F(BlackboxTest, RulesFileOfTheDataFolderWinsAndBadRulesAreSkipped)
{
    const std::string path = CClientConfig::getInstance().getDataFolder() + "blackbox.xml";
    std::ofstream(path) << "<blackbox><event var='gear' value='1' method='equal' text='Gear'/>"
                           "<evnt var='gear' text='Typo'/>"
                           "<event var='flaps' value='half' text='Flaps'/>"
                           "<combination text='Both'><event var='gear' value='x'/></combination>"
                           "<startflight text='Off we go' sound='go.wav'/></blackbox>";
    logs.reset();
    box.resetAll();
    std::remove(path.c_str());
    EXPECT_FALSE(logs.contains("loading blackbox.xml failed"));
    EXPECT_TRUE(logs.contains("invalid node: evnt;"));
    EXPECT_TRUE(logs.contains("value is not a number: <event text=\"Flaps\""));
    EXPECT_TRUE(logs.contains("a member rule cannot be read: <combination text=\"Both\""));
    ASSERT_EQ(box.getEventCount(), 2u);
    // Two single events firing in one check: both logged, both dropped.
    snap.bGearDown = true;
    EXPECT_EQ(checkOnce(), (std::vector<std::string>{"Gear", "Off we go"}));
    EXPECT_EQ(box.getEventCount(), 0u);
    EXPECT_EQ(output.played, std::vector<std::string>{"sound/go.wav"});
}

// A rules file that is not a bounded regular file, or does not parse, is
// refused with its reason and the built-in rules serve; a FIFO must not block
// the start.
struct RefusedRules {
    const char* name;
    std::function<void(const std::string&)> make;
    const char* line;
};

class RefusedRulesTest : public BlackboxTest, public ::testing::WithParamInterface<RefusedRules> {};

TEST_P(RefusedRulesTest, BuiltInRulesServeInstead)
{
    const std::string path = CClientConfig::getInstance().getDataFolder() + "blackbox.xml";
    GetParam().make(path);
    logs.reset();
    box.resetAll();
    removeSpecialFile(path);
    EXPECT_TRUE(logs.contains(GetParam().line));
    EXPECT_TRUE(logs.contains("loading blackbox.xml failed: "));
    EXPECT_FALSE(logs.contains("File was not found"));
    EXPECT_EQ(box.getEventCount(), 8u);
}

INSTANTIATE_TEST_SUITE_P(Files, RefusedRulesTest,
                         ::testing::Values(RefusedRules{"Fifo", [](const std::string& p) { makeSpecialFile(p); },
                                                        "blackbox.xml not a regular file"},
                                           RefusedRules{"FiveMegabytes",
                                                        [](const std::string& p) {
                                                            std::ofstream(p)
                                                                << "<blackbox><!--" << std::string(5u << 20, ' ')
                                                                << "--></blackbox>";
                                                        },
                                                        "blackbox.xml larger than"},
                                           RefusedRules{"TenThousandAndOneRules",
                                                        [](const std::string& p) {
                                                            std::ofstream out(p);
                                                            out << "<blackbox>";
                                                            for (int i = 0; i < 10001; ++i)
                                                                out << "<event var='gear' value='1'/>";
                                                            out << "</blackbox>";
                                                        },
                                                        "blackbox.xml has more than 10000 rules"},
                                           RefusedRules{"Malformed",
                                                        [](const std::string& p) {
                                                            std::ofstream(p) << "<blackbox>\n<event var='gear'\n"
                                                                                "</blackbox>\n";
                                                        },
                                                        "loading blackbox.xml failed: Error parsing start element "
                                                        "tag at line 3 of "}),
                         [](const auto& info) { return std::string(info.param.name); });

struct DecimalComma : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};

TEST_F(BlackboxTest, RuleValuesReadWithAPointWhateverTheLocale)
{
    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new DecimalComma));
    box.loadRulesFromText("<blackbox><event var='flaps' value='0.5' text='Half'/><event var='flaps' value='0,5'/>"
                          "<event var='ias' value=' 80'/></blackbox>");
    std::locale::global(previous);
    EXPECT_EQ(box.getEventCount(), 1u);
    snap.fFlaps = 1.0f;
    EXPECT_EQ(checkOnce(), std::vector<std::string>{"Half"});
}

TEST_F(BlackboxTest, DescriptionLinesOnlyForDebugExactlyTrue)
{
    box.loadRulesFromText("<blackbox debug='TRUE'><event var='gear' text='G'/></blackbox>");
    EXPECT_FALSE(logs.contains("<event text="));
    box.loadRulesFromText("<blackbox debug='true'><event var='Gear' text='G' sound='s.wav' multiple='1'/>"
                          "<combination text='C'><event var='vs' value='-500' method='less' flightstate='descent'/>"
                          "</combination><startflight text='S'/></blackbox>");
    EXPECT_TRUE(logs.contains("<event text=\"G\" sound=\"s.wav\" multiple=1 var=gear value=0 flightstate=Undefined "
                              "method=equal>"));
    EXPECT_TRUE(logs.contains("<combination text=\"C\" sound=\"\" multiple=0>"));
    EXPECT_TRUE(logs.contains("<event text=\"\" sound=\"\" multiple=0 var=vs value=-500 flightstate=Descent "
                              "method=less>"));
    EXPECT_TRUE(logs.contains("</combination>"));
    EXPECT_TRUE(logs.contains("<startflight text=\"S\" sound=\"\">"));
}

TEST_F(BlackboxTest, TenRecordsAMinuteAndANewFlightStartsAfresh)
{
    box.loadRulesFromText("<blackbox><event var='gear' value='1' text='Gear down' sound='gear.wav'/></blackbox>");
    snap.dFlightTime = 30.0;
    for (int i = 0; i < 30; ++i)
        box.logEvent("Flood " + std::to_string(i), "");
    EXPECT_EQ(box.getEventLog().size(), 9u) << "the ring's first entry counts";
    EXPECT_EQ(logs.count("Blocking event log: Too many events!"), 1) << "one line per blocked period";
    // A blocked event plays no sound either, and a single one is gone all the same.
    snap.bGearDown = true;
    box.check();
    EXPECT_EQ(box.getEventCount(), 0u);
    EXPECT_TRUE(output.played.empty());
    snap.dFlightTime = 60.0;
    box.logEvent("A minute later", "");
    EXPECT_EQ(box.getEventLog().size(), 10u);

    box.resetAll();
    snap.dFlightTime = 0.0;
    EXPECT_TRUE(box.getEventLog().empty());
    EXPECT_EQ(box.getEventCount(), 8u) << "the built-in rules are back";
    box.logEvent("First of the new flight", "");
    EXPECT_EQ(box.getEventLog().size(), 1u) << "the last flight's times do not block this one";
}

TEST_F(BlackboxTest, FlightStartArmsAgainstTheCurrentSwitches)
{
    // Flaps already down at the start: the first check reports the switches
    // as they stand but not the 50 % the flaps never passed in this flight.
    snap.fFlaps = 1.0f;
    snap.bGearDown = true;
    box.startFlight();
    EXPECT_EQ(checkOnce(), (std::vector<std::string>{"Landing Lights off", "Gear down", "Flaps 100%"}));
    snap.fFlaps = 0.0f;
    EXPECT_EQ(checkOnce(), (std::vector<std::string>{"Flaps 50%", "Flaps retracted"}));
}

} // namespace
