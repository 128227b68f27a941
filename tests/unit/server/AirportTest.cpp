// The airport list: distances, bearings, technical stops and the search for
// the airport the aircraft stands at.
#include "core/FixedText.h"
#include "server/ClientInterface.h"

#include <gtest/gtest.h>

namespace {

// One nautical mile is one minute of latitude on this sphere.
constexpr double kNm = 1.0 / 60.0;

TEST(AirportDistanceTest, GreatCircleAndCourse)
{
    EXPECT_NEAR(CClientInterface::distanceNm(0, 0, 1, 0), 60.0, 1e-6);
    EXPECT_NEAR(CClientInterface::distanceNm(50, 8, 50, 8), 0.0, 1e-9);
    // Frankfurt to New York, about 3337 nm.
    EXPECT_NEAR(CClientInterface::distanceNm(50.0333, 8.5706, 40.6398, -73.7789), 3337.0, 5.0);

    struct Case {
        double lat2, lon2, bearing;
    };
    for (const Case& c : {Case{1, 0, 0}, Case{0, 1, 90}, Case{-1, 0, 180}, Case{0, -1, 270}, Case{1, 1, 45}})
        EXPECT_NEAR(CClientInterface::bearingDeg(0, 0, c.lat2, c.lon2), c.bearing, 0.01) << c.lat2 << "," << c.lon2;
    // Courses just west of north stay below 360.
    const double b = CClientInterface::bearingDeg(0, 0, 1, -1e-9);
    EXPECT_GE(b, 0.0);
    EXPECT_LT(b, 360.0);
}

TEST(AirportListTest, SecondAddOnlyUpdatesAKnownFee)
{
    CClientInterface c;
    c.addAirport(1, 2, 1.5, -1, 3, "EDDF");
    c.addAirport(5, 6, 9.9, 120, 4, "KJFK");
    c.addAirport(7, 8, 2.0, 80, 5, "eddf");
    c.addAirport(7, 8, 2.0, -1, 5, "EDDF");
    ASSERT_EQ(c.getAirports().size(), 2u);
    EXPECT_EQ(c.getAirports().back().code, "EDDF"); // kept its place
    const CAirport* a = c.findAirport("Eddf");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->lat, 1);
    EXPECT_EQ(a->fuelPrice, 1.5);
    EXPECT_EQ(a->size, 3);
    EXPECT_EQ(a->landingFee, 80);
    EXPECT_EQ(c.findAirport("EGLL"), nullptr);
}

TEST(AirportListTest, ArrivalDistanceAndBearingUseTheirOwnKeys)
{
    CClientInterface c;
    copyText(c.flightLog.l_Arrival, "LOWW");
    copyText(c.route.r_Arr, "LOWS");
    c.addAirport(10, 0, 0, -1, 0, "LOWW");
    c.addAirport(0, 10, 0, -1, 0, "LOWS");
    EXPECT_NEAR(c.distanceToArrival(9, 0), 60.0, 1e-6);
    EXPECT_NEAR(c.bearingToArrival(0, 9), 90.0, 1e-6);
    copyText(c.route.r_Arr, "NONE");
    EXPECT_NEAR(c.bearingToArrival(0, 9), 270.0, 1e-6); // towards 0/0
}

TEST(AirportListTest, TechnicalStopsAreBlankOrCommaSeparated)
{
    CClientInterface c;
    copyText(c.route.r_technical_stop, "EGLL, bikf,,CYQX ABCDEFGHIJKLMNOP");
    EXPECT_TRUE(c.isTechnicalStop("EGLL"));
    EXPECT_TRUE(c.isTechnicalStop("BIKF"));
    EXPECT_TRUE(c.isTechnicalStop("cyqx"));
    EXPECT_FALSE(c.isTechnicalStop(""));
    EXPECT_FALSE(c.isTechnicalStop("EGL"));
    EXPECT_FALSE(c.isTechnicalStop("ABCDEFGHIJKLMNOP")); // 16 characters: never a code
}

struct ClosestCase {
    const char* name;
    // airports as code / distance north of the aircraft in nm (negative: absent)
    double departureNm;
    double arrivalNm;
    double otherNm;    // "EDDM"
    const char* stops; // r_technical_stop
    const char* divert;
    bool strict;
    double arrivalDistance;
    bool found;
    const char* code;
    double distance;
    const char* divertAfter;
};

class ClosestAirportTest : public ::testing::TestWithParam<ClosestCase> {};

TEST_P(ClosestAirportTest, Finds)
{
    const ClosestCase& t = GetParam();
    CClientInterface c;
    copyText(c.flightLog.l_Departure, "EDDF");
    copyText(c.flightLog.l_Arrival, "KJFK");
    copyText(c.route.r_technical_stop, t.stops);
    copyText(c.report.divertCode, t.divert);
    const double lat = 45.0, lon = 7.0;
    if (t.departureNm >= 0)
        c.addAirport(lat + t.departureNm * kNm, lon, 0, -1, 0, "EDDF");
    if (t.arrivalNm >= 0)
        c.addAirport(lat + t.arrivalNm * kNm, lon, 0, -1, 0, "KJFK");
    if (t.otherNm >= 0)
        c.addAirport(lat - t.otherNm * kNm, lon, 0, -1, 0, "EDDM");

    EXPECT_EQ(c.findClosestAirport(t.strict, lon, lat, t.arrivalDistance), t.found);
    if (t.found) {
        EXPECT_STREQ(c.closestAirport, t.code);
        EXPECT_NEAR(c.closestAirportDistance, t.distance, 1e-6);
    }
    EXPECT_STREQ(c.report.divertCode, t.divertAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ClosestAirportTest,
    ::testing::Values(ClosestCase{"DepartureAt3", 3, 200, -1, "", "", true, 0, true, "EDDF", 3, ""},
                      ClosestCase{"ArrivalAt2", 200, 2, -1, "", "", true, 0, true, "KJFK", 2, ""},
                      // Both ends far away, but the caller measured the arrival within 5 nm.
                      ClosestCase{"CallerArrivalDistance", 200, 300, -1, "", "", true, 4.5, true, "KJFK", 4.5, ""},
                      ClosestCase{"TechnicalStopBecomesDivert", 200, 300, 4, "EGLL EDDM", "", true, 0, true, "EDDM", 4,
                                  "EDDM"},
                      ClosestCase{"EarlierDivertAnyCase", 200, 300, 3, "", "eddm", true, 0, true, "eddm", 3, "eddm"},
                      ClosestCase{"StrictNothingWithin5", 200, 300, 6, "", "", true, 0, false, "", 0, ""},
                      ClosestCase{"LooseTakesTheNearest", 200, 300, 6, "", "", false, 0, true, "EDDM", 6, ""},
                      ClosestCase{"EmptyListStrict", -1, -1, -1, "", "", true, 0, false, "", 0, ""},
                      ClosestCase{"EmptyListKnownArrival", -1, -1, -1, "", "", true, 2, true, "KJFK", 2, ""},
                      // An end missing from the list is never chosen in its place.
                      ClosestCase{"DepartureAloneAt3", 3, -1, -1, "", "", true, 0, true, "EDDF", 3, ""},
                      ClosestCase{"DepartureAloneAt7", 7, -1, -1, "", "", true, 0, false, "", 0, ""},
                      ClosestCase{"ArrivalAloneAtHalf", -1, 0.5, -1, "", "", true, 0, true, "KJFK", 0.5, ""},
                      ClosestCase{"ArrivalDistanceAbove5Ignored", 200, 300, -1, "", "", true, 5.5, false, "", 0, ""}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
