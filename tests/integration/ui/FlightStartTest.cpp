// "Fly!" against the real service: the booking comes from qvl-service over
// TLS, the aircraft from a scripted simulator placed around the departure.
#include "../service/ServiceSuite.h"

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
};

class FlightStart : public ServiceSuite, public ::testing::WithParamInterface<StartCase> {
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

    FlightFixture f;
};

TEST_P(FlightStart, ChecksTheAircraftAgainstTheBooking)
{
    const StartCase p = GetParam();
    ASSERT_TRUE(store->exec("UPDATE flight_logs SET crew_type=? WHERE l_ID=9001", {std::string(p.crew)}));
    SimState& s = f.sim->state;
    s.latitude = kEddfLat + p.northNm * kDegPerNm;
    s.longitude = kEddfLon;
    s.groundElevation = 364;
    s.altitude = 364 + p.radarAltitude;
    s.groundSpeed = p.groundSpeed;
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
                      StartCase{"CopilotNeedsNoClient", 0.0, 0, 0, "copilot", PageFlightInformation, ""}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
