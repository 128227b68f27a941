// A whole airline flight flown by qvl-sim and watched by the client driver
// through the module link. The simulator runs in this process, stepped in
// lockstep with the manual clock; the link still goes over the socket and the
// shared block. The flight is recorded at real speed; its replay arrives at
// the same report, and its landing analysis is kept as a build artifact.
#include "Simulator.h"
#include "client/FlightReplay.h"
#include "monitor/FlightState.h"
#include "recorder/FlightRecorder.h"
#include "recorder/LandingAnalysis.h"
#include "recorder/RecordingReader.h"
#include "report/Report.h"
#include "report/ReportFields.h"
#include "server/ClientInterface.h"
#include "sim/fsuipc/FlightSimulatorInterfaceUsingFsuipc.h"
#include "sim/fsuipc/FsuipcLink.h"
#include "support/FsuipcTestDirectory.h"
#include "support/WholeFlight.h"
#include "ui/FlightActions.h"

#include <filesystem>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

SimScenario airline()
{
    SimScenario s;
    std::string error;
    EXPECT_TRUE(SimScenario::load(std::string(QVL_SIM_SCENARIO_DIR) + "/airline_eddf_eddm.json", s, error)) << error;
    return s;
}

// The recording replayed on a user interface of its own.
ReplayOutcome replayOn(CRecordingReader& recording)
{
    HeadlessWindow window;
    RecordingSoundOutput sound;
    CUserInterface ui(window, sound);
    ui.createControls();
    auto& clock = dynamic_cast<ManualClock&>(processClock());
    CFlightReplay replay(ui, [&](std::int64_t ms) { clock.set(ms); });
    return replay.run(recording);
}

double touchdownRate(const SimScenario& s)
{
    for (const SimAction& a : s.actions) {
        if (a.type == SimAction::Type::Land)
            return a.rateFpm;
    }
    return 0.0;
}

class FsuipcWholeFlightTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sim.startServer("UIPCMAIN", dir.path()));
        flight = std::make_unique<CWholeFlight>(
            [](CClientInterface& c) { return std::make_unique<CFlightSimulatorInterfaceUsingFsuipc>(c); },
            [this](double seconds) { sim.advance(seconds); }, true);
    }
    void TearDown() override
    {
        flight.reset();
        CFsuipcLink::instance().close();
    }

    CFsuipcTestDirectory dir;
    CSimulator sim{airline()};
    std::unique_ptr<CWholeFlight> flight;
};

TEST_F(FsuipcWholeFlightTest, AirlineFlightPassesEveryPhaseToOnBlock)
{
    CFlightSimulatorInterface& fs = flight->simulator();
    ASSERT_TRUE(fs.isConnected());
    const WholeFlightOutcome out = flight->fly(2 * 3600 * 1000);

    ASSERT_TRUE(out.ended) << "the driver never ended the flight";
    const std::vector<int> expected{PhaseBoarding, PhaseTaxi,    PhaseTakeOff, PhaseClimb,
                                    PhaseCruise,   PhaseDescent, PhaseLanded,  PhaseOnBlock};
    EXPECT_EQ(out.phases, expected);
    EXPECT_NEAR(fs.lLandingVerticalSpeed, touchdownRate(airline()), 10.0);
    EXPECT_FALSE(flight->ui().getReport().hasPenalty(ItemHardLanding));
    EXPECT_GT(fs.lFuelAtTakeoff, fs.lFuelAtLanding);
    EXPECT_LT(CClientInterface::distanceNm(fs.dLatitude, fs.dLongitude, 48.3538, 11.7861), 3.0);
    EXPECT_GT(fs.dFlightTime, 30 * 60.0);

    CUserInterface& ui = flight->ui();
    ui.getFlightActions().getFlightEnd().completeReport();
    const Tervix_Reports flown = ui.getClient().report;
    const std::vector<std::string> files = ui.getFlightRecorder().finish(true);
    ASSERT_EQ(files.size(), 5u);
    CRecordingReader recording;
    std::string error;
    ASSERT_TRUE(recording.open(files[0], error)) << error;
    const ReplayOutcome replayed = replayOn(recording);
    EXPECT_TRUE(replayed.reportFinished);
    EXPECT_EQ(replayed.divergences, 0) << replayed.firstDivergence;
    const auto flownFields = ReportFields::uploaded(flown, 0);
    const auto replayedFields = ReportFields::uploaded(replayed.report, 0);
    for (std::size_t i = 0; i < flownFields.size(); ++i)
        EXPECT_EQ(replayedFields[i], flownFields[i]);

    recording.rewind();
    const CLandingAnalysis analysis(recording);
    ASSERT_TRUE(analysis.figures().found);
    EXPECT_EQ(analysis.figures().averageFpm, fs.lLandingVerticalSpeed);
    EXPECT_EQ(analysis.figures().reportFpm, flown.VS);
    const fs::path artifacts = fs::path(QVL_BINARY_DIR) / "artifacts" / "recorder" / "demo_real_speed";
    fs::create_directories(artifacts);
    fs::copy_file(files[1], artifacts / "landing.txt", fs::copy_options::overwrite_existing);
    fs::copy_file(files[2], artifacts / "landing.svg", fs::copy_options::overwrite_existing);
}

} // namespace
