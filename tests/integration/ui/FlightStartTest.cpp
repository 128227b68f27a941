// "Fly!" against the real service: the booking comes from qvl-service over
// TLS, the aircraft from a scripted simulator placed around the departure.
#include "../service/ServiceSuite.h"

#include "core/FixedText.h"
#include "monitor/FlightState.h"
#include "report/Report.h"
#include "support/FlightFixture.h"
#include "ui/ControlIds.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr double kEddfLat = 50.0365, kEddfLon = 8.5613;
// Degrees of latitude per nautical mile with the client's own constants.
constexpr double kDegPerNm = 1.0 / (0.017453292522222223 * 3437.7467703360626);

struct StartCase {
    const char* name;
    double northNm; // distance from the departure airport
    int radarAltitude;
    int groundSpeed;
    const char* crew;
    int page;
    const char* line; // the start line logged, "" for none
    short engines = 2;
    bool versionOk = true;
};

class FlightStartSuite : public ServiceSuite {
protected:
    void SetUp() override
    {
        ServiceSuite::SetUp();
        CClientInterface& c = f.ui->getClient();
        c.setServerUrl(service->url());
        ASSERT_EQ(c.login("demo", "demo123"), 0);
        ASSERT_GE(c.getPilotData(), 0);
        f.ui->SetPage(PageHome);
    }
    void TearDown() override { store->exec("UPDATE flight_logs SET crew_type='captain' WHERE l_ID=9001"); }

    // The aircraft standing at the departure, `northNm` away from it.
    void placeAtDeparture(double northNm = 0.0, int radarAltitude = 0, int groundSpeed = 0)
    {
        SimState& s = f.sim->state;
        s.latitude = kEddfLat + northNm * kDegPerNm;
        s.longitude = kEddfLon;
        s.groundElevation = 364;
        s.altitude = 364 + radarAltitude;
        s.groundSpeed = groundSpeed;
    }

    // Fly! and Fuel Up! up to the load sheet.
    void toTheLoadSheet()
    {
        placeAtDeparture();
        f.ui->OnButton(IdFly);
        ASSERT_EQ(f.ui->getPage(), PageFuelTanks);
        f.ui->OnButton(IdFuelUp);
        ASSERT_EQ(f.ui->getPage(), PageLoadSheet);
    }

    FlightFixture f;
};

class FlightStart : public FlightStartSuite, public ::testing::WithParamInterface<StartCase> {};

TEST_P(FlightStart, ChecksTheAircraftAgainstTheBooking)
{
    const StartCase p = GetParam();
    ASSERT_TRUE(store->exec("UPDATE flight_logs SET crew_type=? WHERE l_ID=9001", {std::string(p.crew)}));
    placeAtDeparture(p.northNm, p.radarAltitude, p.groundSpeed);
    f.sim->state.engines = p.engines;
    f.sim->versionOk = p.versionOk;
    f.logs.reset();

    f.ui->OnButton(IdFly);

    EXPECT_EQ(f.ui->getPage(), p.page);
    const auto lines = f.logs.matching("Could not start flight!");
    if (*p.line == '\0') {
        EXPECT_TRUE(lines.empty()) << lines.front();
    } else {
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_NE(lines[0].find(p.line), std::string::npos) << lines[0];
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, FlightStart,
    ::testing::Values(StartCase{"AtEveryLimit", 10.0 - 1e-6, 50, 5, "captain", PageFuelTanks, ""},
                      StartCase{"TooFarFromTheDeparture", 10.5, 0, 0, "captain", PageChecklist,
                                "Airports not matching. (Expected=EDDF Current=EDDF)"},
                      StartCase{"NotOnTheGround", 0.0, 51, 0, "captain", PageChecklist,
                                "Aircraft not on ground. (lRadarAltitude = 51"},
                      StartCase{"Moving", 0.0, 0, 6, "captain", PageChecklist, "Aircraft moving (lGroundSpeed =6"},
                      StartCase{"CopilotNeedsNoClient", 0.0, 0, 0, "copilot", PageFlightInformation, ""},
                      StartCase{"FewerEnginesThanBooked", 0.0, 0, 0, "captain", PageChecklist,
                                "Aircraft type does not match. (5)", 1},
                      StartCase{"BridgeTooOld", 0.0, 0, 0, "captain", PageChecklist, "", 2, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FlightStartSuite, FlyOnTheLoadSheetStartsAFreshFlight)
{
    toTheLoadSheet();
    ScriptedSimulator& sim = *f.sim;
    // What a flight before this one left behind.
    sim.bEmergency = 1;
    sim.bDiverted = 1;
    sim.nMinFuel = -1;
    sim.lFlightPhase = PhaseOnBlock;
    sim.lCrashed = 1;
    sim.lLeftStartArea = 1;
    sim.lAbove500Reported = 1;
    copyText(f.ui->getClient().report.ReportId, "70001");
    const std::size_t resets = store->uploads("resetpositionlog").size();

    f.ui->OnButton(IdFly);

    ASSERT_EQ(f.ui->getPage(), PageFlying);
    EXPECT_GT(sim.lFuelAtStart, 0);
    EXPECT_EQ(sim.lFuelAtStart, sim.fuelOnBoardRounded());
    EXPECT_EQ(sim.nMinFuel, sim.lFuelAtStart) << "refuelling is measured from the fuel as started";
    EXPECT_DOUBLE_EQ(sim.dStartLatitude, sim.dLatitude);
    EXPECT_DOUBLE_EQ(sim.dStartLongitude, sim.dLongitude);
    EXPECT_EQ(sim.bEmergency, 0);
    EXPECT_EQ(sim.bDiverted, 0);
    EXPECT_EQ(sim.lFlightPhase, PhaseBoarding);
    EXPECT_EQ(sim.lCrashed, 0);
    EXPECT_EQ(sim.lLeftStartArea, 0);
    EXPECT_EQ(sim.lAbove500Reported, 0);
    EXPECT_EQ(fieldText(f.ui->getClient().report.ReportId), "");
    EXPECT_EQ(store->uploads("resetpositionlog").size(), resets + 1);
    const auto& queue = f.ui->getReport().getPositionTracker().getQueue();
    ASSERT_EQ(queue.size(), 1u) << "the first position, kept while the tracker is off";
    EXPECT_EQ(queue[0].PositionId, 0);
    EXPECT_EQ(queue[0].Fuel, sim.lFuelAtStart);
}

TEST_F(FlightStartSuite, AnOverweightLoadSheetDoesNotStart)
{
    toTheLoadSheet();
    f.sim->lExtraFuel = 100000; // a reserve no landing weight allows
    f.logs.reset();
    f.ui->OnButton(IdFly);
    EXPECT_EQ(f.ui->getPage(), PageLoadSheet);
    EXPECT_TRUE(f.logs.contains("About to start flight but is overweight"));
    EXPECT_EQ(f.sim->lFuelAtStart, 0);
}

TEST_F(FlightStartSuite, AnAutosavedFlightIsContinuedOrDeletedFirst)
{
    f.startFlying();
    ASSERT_TRUE(f.ui->getReport().saveBackup(true));
    f.ui->SetPage(PageHome);
    placeAtDeparture();
    f.ui->OnButton(IdFly);
    EXPECT_EQ(f.ui->getPage(), PageAbortedFlight);
}

} // namespace
