// Reading a route answer into the booked flight's records.
#include "core/FixedText.h"
#include "server/ClientInterface.h"

#include <gtest/gtest.h>

namespace {

CClientInterface::Row baseRow()
{
    return {{"r_ID", "77"},           {"r_Arr", "KJFK"},       {"r_DepTime", "123456"},
            {"r_Simrate", "4"},       {"r_FlightType", "0"},   {"r_technical_stop", "BIKF"},
            {"l_ID", "991"},          {"l_Departure", "EDDF"}, {"l_Arrival", "KJFK"},
            {"l_Passengers", "22"},   {"l_PAX_Economy", "15"}, {"l_PAX_Business", "5"},
            {"l_PAX_First", "2"},     {"l_Multiplier", "3"},   {"l_Timestamp", "1700000000"},
            {"pax_reduce", "0"},      {"crew_wt", "340"},      {"a_Fuel", "1000"},
            {"a_FuelMult", "0"},      {"a_StateEng1", "97.5"}, {"a_Owner", std::string(80, 'o')},
            {"location_lat", "50.5"}, {"ac_va_id", "2"},       {"v_ID", "12"},
            {"v_Multiplier", "2"},    {"v_Pilotcharge", "10"}, {"d_MLW", "64500"},
            {"d_Ticket", "1.25"},     {"ad_lat", "0"},         {"ad_lon", "0"},
            {"ad_fuel", "1.75"},      {"ad_size", "5"},        {"aa_lat", "1"},
            {"aa_lon", "0"},          {"aa_fuel", "2.5"},      {"aa_size", "4"}};
}

TEST(RouteDataTest, RowFillsTheRecordsAndTheAirports)
{
    CClientInterface c;
    c.readRouteRow(baseRow());
    EXPECT_STREQ(c.route.r_ID, "77");
    EXPECT_STREQ(c.route.r_DepTime, "1234");
    EXPECT_EQ(c.route.r_Simrate, 4);
    EXPECT_STREQ(c.route.r_Route, ""); // missing column
    EXPECT_STREQ(c.flightLog.l_ID, "991");
    EXPECT_EQ(c.flightLog.l_Timestamp, 1700000000);
    EXPECT_EQ(c.flightLog.crew_wt, 340);
    EXPECT_EQ(std::string(c.aircraft.a_Owner), std::string(50, 'o'));
    EXPECT_FLOAT_EQ(c.aircraft.a_StateEng1, 97.5f);
    EXPECT_DOUBLE_EQ(c.aircraft.location_lat, 50.5);
    EXPECT_EQ(c.aircraft.ac_va_id, 2);
    EXPECT_STREQ(c.airline.v_ID, "12");
    EXPECT_EQ(c.airline.v_Pilotcharge, 10);
    EXPECT_EQ(c.types.d_MLW, 64500);
    EXPECT_DOUBLE_EQ(c.types.d_Ticket, 1.25);

    EXPECT_NEAR(c.aircraft.routeDistance, 60.0, 1e-6);
    EXPECT_FLOAT_EQ(c.lastFuelPrice, 1.75f);
    const CAirport* dep = c.findAirport("EDDF");
    const CAirport* arr = c.findAirport("KJFK");
    ASSERT_NE(dep, nullptr);
    ASSERT_NE(arr, nullptr);
    EXPECT_EQ(dep->size, 5);
    EXPECT_EQ(arr->fuelPrice, 2.5);
    EXPECT_EQ(arr->landingFee, -1);
}

TEST(RouteDataTest, ClearingEmptiesTheBookingAndResetsTheAirlineId)
{
    CClientInterface c;
    c.readRouteRow(baseRow());
    c.clearBooking();
    EXPECT_STREQ(c.route.r_ID, "");
    EXPECT_EQ(c.route.r_Simrate, 0);
    EXPECT_STREQ(c.flightLog.l_ID, "");
    EXPECT_EQ(c.aircraft.a_Fuel, 0);
    EXPECT_STREQ(c.airline.v_ID, "0");
    EXPECT_EQ(c.types.d_MLW, 0);
}

struct PaxCase {
    int reduce, economy, business, first;
    int economyAfter, businessAfter, firstAfter;
};

class PaxReductionTest : public ::testing::TestWithParam<PaxCase> {};

TEST_P(PaxReductionTest, EconomyFirstThenBusinessThenFirst)
{
    const PaxCase& p = GetParam();
    auto row = baseRow();
    row["pax_reduce"] = std::to_string(p.reduce);
    row["l_PAX_Economy"] = std::to_string(p.economy);
    row["l_PAX_Business"] = std::to_string(p.business);
    row["l_PAX_First"] = std::to_string(p.first);
    row["l_Passengers"] = std::to_string(p.economy + p.business + p.first);
    CClientInterface c;
    c.readRouteRow(row);
    EXPECT_EQ(std::string(c.flightLog.l_PAX_Economy), std::to_string(p.economyAfter));
    EXPECT_EQ(std::string(c.flightLog.l_PAX_Business), std::to_string(p.businessAfter));
    EXPECT_EQ(std::string(c.flightLog.l_PAX_First), std::to_string(p.firstAfter));
    EXPECT_EQ(std::string(c.flightLog.l_Passengers), std::to_string(p.economy + p.business + p.first - p.reduce));
}

INSTANTIATE_TEST_SUITE_P(Table, PaxReductionTest,
                         ::testing::Values(PaxCase{10, 15, 5, 2, 5, 5, 2}, PaxCase{10, 4, 8, 2, 0, 2, 2},
                                           PaxCase{10, 4, 5, 2, 0, 0, 1}, PaxCase{0, 4, 5, 2, 4, 5, 2},
                                           PaxCase{-3, 4, 5, 2, 4, 5, 2}, PaxCase{30, 4, 5, 2, 0, 0, 0}));

struct FuelMultCase {
    const char* airline;
    const char* flight;
    const char* flightType;
    const char* tankMult;
    int fuelAfter;
};

class FuelMultiplierTest : public ::testing::TestWithParam<FuelMultCase> {};

TEST_P(FuelMultiplierTest, LowerTankMultiplierShrinksTheFuel)
{
    const FuelMultCase& f = GetParam();
    auto row = baseRow();
    row["v_Multiplier"] = f.airline;
    row["l_Multiplier"] = f.flight;
    row["r_FlightType"] = f.flightType;
    row["a_FuelMult"] = f.tankMult;
    CClientInterface c;
    c.readRouteRow(row);
    EXPECT_EQ(c.aircraft.a_Fuel, f.fuelAfter);
    EXPECT_EQ(c.aircraft.fuelAtFetch, 1000);
}

INSTANTIATE_TEST_SUITE_P(Table, FuelMultiplierTest,
                         ::testing::Values(FuelMultCase{"2", "3", "0", "1", 500},   // airline multiplier
                                           FuelMultCase{"0", "3", "0", "1", 333},   // none: the flight's
                                           FuelMultCase{"4", "3", "0", "1", 333},   // capped by the flight's
                                           FuelMultCase{"2", "0", "0", "1", 500},   // flight without one
                                           FuelMultCase{"2", "3", "1", "1", 1000},  // charter: untouched
                                           FuelMultCase{"2", "3", "0", "0", 1000},  // fresh tanks
                                           FuelMultCase{"2", "3", "0", "2.5", 1000} // worth more already
                                           ));

} // namespace
