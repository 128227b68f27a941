// The end-of-flight account. The whole flights below are worked out by hand
// from the rules of the account; each comment shows the working.
#include "report/FlightEvaluation.h"
#include "core/FixedText.h"
#include "report/Report.h"
#include "server/ClientInterface.h"
#include "support/ScriptedSimulator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <initializer_list>

namespace {

class FlightEvaluationTest : public ::testing::Test {
protected:
    CClientInterface client;
    ScriptedSimulator sim{client};
    CReport report{&sim, client, nullptr};

    void SetUp() override { bookShortHop(); }

    // EDDF -> EGLL, 650 km, an A320-like type; the aircraft stands at EGLL
    // after 1.5 hours with 125 passengers and 1000 kg of cargo.
    void bookShortHop()
    {
        Tervix_Logs& l = client.flightLog;
        copyText(l.l_Departure, "EDDF");
        copyText(l.l_Arrival, "EGLL");
        copyText(l.l_AC_ID, "A1");
        copyText(l.l_Dist, "650");
        copyText(l.l_PAX_Economy, "100");
        copyText(l.l_PAX_Business, "20");
        copyText(l.l_PAX_First, "5");
        copyText(l.l_Multiplier, "1");
        copyText(l.l_FlightType, "0");
        l.l_Timestamp = 1700000000;
        l.crew_wt = 340;
        Tervix_Routes& r = client.route;
        copyText(r.r_Arr, "EGLL");
        copyText(r.r_Number, "QV123");
        copyText(r.r_Price, "100");
        copyText(r.r_Price_Business, "250");
        copyText(r.r_Price_First, "600");
        copyText(r.r_FlightType, "0");
        AircraftTypeData& d = client.types;
        d.d_Price = 1000000;
        d.d_DOW = 40000;
        d.d_MTOW = 70000;
        d.d_MLW = 60000;
        d.d_Engines = 2;
        d.d_Ticket = 1.0;
        d.d_speed = 400;
        d.d_flight_crew = 2;
        Tervix_VirtualAirlines& v = client.airline;
        copyText(v.v_ID, "7");
        copyText(v.v_Name, "Quenvale Air");
        v.v_Pilotcharge = 10;
        v.v_hour_rate = 50;
        Tervix_Aircrafts& a = client.aircraft;
        copyText(a.a_Type, "A320");
        a.a_StateEng1 = a.a_StateGear = a.a_StateHull = 100.0f;
        a.a_Fuel = 2000;
        a.fuelAtFetch = 2000;
        a.a_FuelMult = 1.0f;
        a.arrivalFuel = 3000;
        copyText(client.pilot.name, "Ada");
        copyText(client.pilot.surname, "Lind");
        copyText(client.pilot.pilot_id, "4711");
        copyText(client.pilot.va_user, "QVA042");
        client.addAirport(50.0, 8.5, 1.5, -1, 5, "EDDF");
        client.addAirport(51.5, -0.5, 1.6, 400, 5, "EGLL");
        client.addAirport(48.35, 11.78, 1.7, -1, 4, "EDDM");

        Tervix_Reports& rep = client.report;
        copyText(rep.Fuelprice, "2.0");
        rep.Simrate = 1;
        rep.departSeconds = 1000.0;

        standAt("EGLL", 51.5, -0.5);
        sim.lFlightPhase = 4;
        sim.lPassengers = 125;
        sim.lCargo = 1000;
        sim.lFuelOnBoard = 3000;
        sim.lFuelAtStart = 8000;
        sim.lFuelAtTakeoff = 7900;
        sim.lFuelAtLanding = 3000;
        sim.lLandingVerticalSpeed = -150;
        sim.dFlightTime = 6400.0;
        copyText(sim.szZuluTime, "1430");
        copyText(sim.szLocalTime, "1530");
    }

    // The aircraft at an airport of the list (the closest-airport lookup
    // answers from the list, and a held code stands for it).
    void standAt(const char* code, double lat, double lon)
    {
        sim.dLatitude = lat;
        sim.dLongitude = lon;
        copyText(client.closestAirport, code);
    }

    void addItems(std::initializer_list<int> items)
    {
        for (int item : items)
            report.addPenalty(item);
    }

    const Tervix_Reports& rep() const { return client.report; }
};

// --- whole flights ---

TEST_F(FlightEvaluationTest, NormalArrival)
{
    ASSERT_TRUE(report.evaluateFlight());
    const Tervix_Reports& r = rep();
    // Seats: first 5, business 20, economy min(100, 125-5-20) = 100.
    EXPECT_STREQ(client.flightLog.l_Passengers, "125");
    EXPECT_STREQ(r.PAX_Economy, "100");
    EXPECT_STREQ(r.PAX_First, "5");
    EXPECT_STREQ(r.PIC, "Ada Lind");
    EXPECT_STREQ(r.VA_ID, "7");
    EXPECT_STREQ(r.Dep, "EDDF");
    EXPECT_STREQ(r.Arr, "EGLL");
    EXPECT_STREQ(r.Pln_Arr, "EGLL");
    EXPECT_STREQ(r.Loc_Arrtime, "1530");
    EXPECT_STREQ(r.TS, "1700000000");
    // (6400 - 1000) s = 1.5 h.
    EXPECT_STREQ(r.Hours, "1.5");
    EXPECT_EQ(r.VS, -150);
    // Landing weight 40000 + 1000 + 125*102 + 3000 = 56750, ratio 0.9458:
    // sqrt(0.9458)*150 - 300 < 0, so fLandScale = 1; fScalar = sqrt(1)/10 = 0.1.
    // gear 100 - 0.1*0.1*1 = 99.99; engine 100 - 0.02*0.1*(0.5+1.5) = 99.996;
    // hull 100 - (0.0125*0.1*1.5 + 0.05*1) = 99.948125.
    EXPECT_NEAR(client.aircraft.a_StateGear, 99.99f, 1e-4);
    EXPECT_NEAR(client.aircraft.a_StateEng1, 99.996f, 1e-4);
    EXPECT_NEAR(client.aircraft.a_StateHull, 99.948125f, 1e-4);
    // Value 1e6 * 299.934125 / 300 = 999780.4.
    EXPECT_EQ(client.aircraft.a_Value, 999780);
    // Fuel: bought 8000 - 2000 = 6000, used 8000 - 3000 = 5000; cost 6000*2*1.234 = 14808.
    EXPECT_STREQ(r.Fuelprice, "2.0");
    EXPECT_STREQ(r.Fuel_Bought, "6000");
    EXPECT_STREQ(r.Fuel_Used, "5000");
    EXPECT_EQ(r.Fuel_Dep, 8000);
    EXPECT_EQ(r.Fuel_TakeOff, 7900);
    EXPECT_EQ(r.Fuel_Land, 3000);
    // Multipliers equal: (1*3000 + 1*2000) / 5000 = 1.
    EXPECT_FLOAT_EQ(client.aircraft.a_FuelMult, 1.0f);
    // Fees: EDDF class 5: 60000*16/2000 = 480 (above the 400 minimum); EGLL's fee 400 halved = 200.
    EXPECT_EQ(r.landing_fee, 680);
    // Cargo: rate(650 km) = 121, factor (3000*0.75/2000) = 1.125, 1000*1.125*121/100 = 1361.
    EXPECT_STREQ(r.Cargo, "1361");
    EXPECT_STREQ(r.Cargo_kg, "1000");
    // H = 650/400 + 0.5 = 2.125; catering units 5*4 + 100 + 2*20 = 160.
    // Crew: (340/85)*20*2.125 + 2*160*2.125 = 170 + 680 = 850, plus
    // (sqrt(70000)/12 + 40) * (3/3) * 2.125 = 131.85 -> 131: 981.
    EXPECT_EQ(r.Crew, 981);
    // Tickets 100*100 + 20*250 + 5*600 = 18000; R = 18000 - 981 - 14808 = 2211;
    // hourly pay 2.125*50 = 106; P0 = 2211 + 1361 - 106 - 680 = 2786.
    // Bonus at 1x: 2786*0.2 = 557; charge (2786+557)*10% = 334; profit 3009.
    EXPECT_EQ(r.Bonus, 557);
    EXPECT_EQ(r.Salary, 334 + 106);
    EXPECT_EQ(r.Profit, 3009);
    EXPECT_STREQ(r.Rating, "100");
    EXPECT_STREQ(r.Ratingreasons, "");
    EXPECT_EQ(client.airline.v_Reputation, 1);
}

TEST_F(FlightEvaluationTest, WrongAirportEarnsNothingButStillPays)
{
    standAt("EDDM", 48.35, 11.78);
    addItems({ItemWrongAirport});
    report.evaluateFlight();
    const Tervix_Reports& r = rep();
    EXPECT_STREQ(r.Arr, "EDDM");
    EXPECT_STREQ(r.Ticket, "0");
    EXPECT_STREQ(r.Ticket_First, "0");
    EXPECT_STREQ(client.route.r_Price, "0");
    EXPECT_STREQ(r.Cargo, "0");
    // Fees: EDDF 480 + EDDM class 4: 60000*12/2000 = 360.
    EXPECT_EQ(r.landing_fee, 840);
    // R = 0 - 981 - 14808 = -15789; P0 = -15789 - 106 - 840 = -16735: no bonus, no charge.
    EXPECT_EQ(r.Profit, -16735);
    EXPECT_EQ(r.Bonus, 0);
    EXPECT_EQ(r.Salary, 106);
    EXPECT_EQ(r.Crew, 981);
    // Wrong airport: rating -15, reputation 1 - 5.
    EXPECT_STREQ(r.Rating, "85");
    EXPECT_STREQ(r.Ratingreasons, "wrong airport | ");
    EXPECT_EQ(client.airline.v_Reputation, -4);
}

TEST_F(FlightEvaluationTest, CrashWithWaterLandingKeepsOnlyTheCrash)
{
    copyText(client.closestAirport, "");
    sim.lFlightPhase = 8;
    sim.lCrashed = 1;
    sim.lIndicatedAirspeed = 140;
    sim.lLandingVerticalSpeed = -1200;
    addItems(
        {ItemCrashed, ItemWaterLanding, ItemHardLanding, ItemVeryHardLanding, ItemGearUpLanding, ItemWrongAirport});
    report.evaluateFlight();
    const Tervix_Reports& r = rep();
    // No lookup after a crash and no code held: Arr stays empty, so no revenue.
    EXPECT_STREQ(r.Arr, "");
    // x = sqrt(0.9458)*1200 - 300 = 867.05; fLandScale = 867.05^2/17070.71 + 1 = 45.039.
    // gear 100 - 0.01*45.039 = 99.5496; engine 100 - 0.002*(22.519+1.5) = 99.95196;
    // hull 100 - (0.001875 + 2.25194) = 97.74619; impact sqrt(140^2 + 12^2)*0.125 = 17.5642
    // -> gear 81.9854, engine 82.3878, hull 80.1820; value 1e6*244.5553/300 = 815184.
    EXPECT_NEAR(client.aircraft.a_StateGear, 81.9854f, 1e-3);
    EXPECT_NEAR(client.aircraft.a_StateEng1, 82.3878f, 1e-3);
    EXPECT_NEAR(client.aircraft.a_StateHull, 80.1820f, 1e-3);
    EXPECT_EQ(client.aircraft.a_Value, 815184);
    // Phase 8: arrival fuel 0, so all 8000 kg count as used.
    EXPECT_EQ(client.aircraft.arrivalFuel, 0);
    EXPECT_STREQ(r.Fuel_Used, "8000");
    // Fees: EDDF 480 only (no arrival airport). P0 = -15789 - 106 - 480 = -16375.
    EXPECT_EQ(r.landing_fee, 480);
    EXPECT_EQ(r.Profit, -16375);
    EXPECT_STREQ(r.Rating, "50");
    EXPECT_STREQ(r.Ratingreasons, "crashed | ");
    EXPECT_EQ(client.airline.v_Reputation, 1 - 20);
}

TEST_F(FlightEvaluationTest, WaterLandingNearTheArrivalStillEarns)
{
    standAt("EGLL", 51.5 + 2.0 / 60.0, -0.5);
    sim.lIndicatedAirspeed = 60;
    sim.lLandingVerticalSpeed = -200;
    addItems({ItemWaterLanding, ItemHardLanding});
    report.evaluateFlight();
    const Tervix_Reports& r = rep();
    // Wear as the normal flight, less the impact sqrt(60^2 + 2^2)*0.125 = 7.50416:
    // gear 92.4858, engine 92.4918, hull 92.4440; value 1e6*277.4216/300 = 924738.
    EXPECT_NEAR(client.aircraft.a_StateGear, 92.4858f, 1e-3);
    EXPECT_EQ(client.aircraft.a_Value, 924738);
    // Money as the normal flight: it landed at the booked airport.
    EXPECT_EQ(r.Profit, 3009);
    // The hard landing goes with the water landing.
    EXPECT_STREQ(r.Rating, "50");
    EXPECT_STREQ(r.Ratingreasons, "Water Landing | ");
    EXPECT_EQ(client.airline.v_Reputation, 1 - 20);
}

TEST_F(FlightEvaluationTest, FlightTypeTwoPaysOnlyForItsFuel)
{
    copyText(client.flightLog.l_FlightType, "2");
    copyText(client.route.r_FlightType, "2");
    copyText(client.route.r_Arr, "XXXX");
    client.aircraft.a_FuelMult = 3.0f;
    addItems({ItemTaxiOverspeed});
    report.evaluateFlight();
    const Tervix_Reports& r = rep();
    EXPECT_STREQ(r.Dep, "EDDF");
    EXPECT_STREQ(r.Pln_Arr, "EGLL"); // the flight log's arrival, not the route's
    EXPECT_STREQ(r.FlightType, "2");
    EXPECT_STREQ(r.Multiplier, "1");
    EXPECT_EQ(r.Bonus, 0);
    EXPECT_EQ(r.Crew, 0);
    EXPECT_EQ(r.Profit, 0);
    // 6000 kg bought at 2.0: 6000 * 2.0 * -1.234 = -14808.
    EXPECT_EQ(r.Salary, -14808);
    EXPECT_STREQ(r.Rating, "100");
    EXPECT_STREQ(r.Ratingreasons, "overspeed - taxi | ");
    EXPECT_EQ(client.airline.v_Reputation, 0);
    // The tanks' multiplier meets this flight's 1: e < 3, d = min(3000, 2000) = 2000,
    // k = 1000: (1*1000 + 3*2000) / 3000 = 2.333.
    EXPECT_NEAR(client.aircraft.a_FuelMult, 7.0f / 3.0f, 1e-5);
}

TEST_F(FlightEvaluationTest, LossMakingFlightHasNoBonusAndNoCharge)
{
    copyText(client.report.Fuelprice, "20");
    report.evaluateFlight();
    const Tervix_Reports& r = rep();
    // Fuel 6000*20*1.234 = 148080; R = 18000 - 981 - 148080 = -131061;
    // P0 = -131061 + 1361 - 106 - 680 = -130486.
    EXPECT_EQ(r.Profit, -130486);
    EXPECT_EQ(r.Bonus, 0);
    EXPECT_EQ(r.Salary, 106);
}

TEST_F(FlightEvaluationTest, HeavyAircraftOfTheAirlinePaysFeesOfTwoClasses)
{
    client.clearAirports();
    client.addAirport(40.64, -73.78, 2.0, -1, 3, "KJFK");
    client.addAirport(51.5, -0.5, 2.0, -1, 6, "EGLL");
    copyText(client.flightLog.l_Departure, "KJFK");
    copyText(client.flightLog.l_Dist, "6000");
    copyText(client.flightLog.l_PAX_Economy, "300");
    copyText(client.flightLog.l_PAX_Business, "40");
    copyText(client.flightLog.l_PAX_First, "10");
    copyText(client.flightLog.l_Multiplier, "2");
    client.flightLog.crew_wt = 850;
    copyText(client.route.r_Price, "500");
    copyText(client.route.r_Price_Business, "1500");
    copyText(client.route.r_Price_First, "4000");
    client.types = AircraftTypeData{};
    client.types.d_Price = 100000000;
    client.types.d_DOW = 160000;
    client.types.d_MTOW = 350000;
    client.types.d_MLW = 250000;
    client.types.d_Engines = 4;
    client.types.d_Ticket = 1.5;
    client.types.d_speed = 480;
    client.types.d_flight_crew = 3;
    client.airline.v_hour_rate = 100;
    client.airline.v_Pilotcharge = 20;
    Tervix_Aircrafts& a = client.aircraft;
    a.ac_va_id = 2;
    a.a_Fuel = a.fuelAtFetch = 20000;
    a.a_FuelMult = 2.0f;
    a.arrivalFuel = 15000;
    a.a_StateEng1 = a.a_StateGear = a.a_StateHull = 80.0f;
    sim.lPassengers = 350;
    sim.lCargo = 12000;
    sim.lPackages = 500;
    sim.lFuelOnBoard = 15000;
    sim.lFuelAtStart = 100000;
    sim.lLandingVerticalSpeed = -420;
    client.report.departSeconds = 0.0;
    sim.dFlightTime = 25200.0;
    client.report.Simrate = 4;

    report.evaluateFlight();
    const Tervix_Reports& r = rep();
    EXPECT_STREQ(r.Hours, "7.0");
    // The airline's own aircraft: fuel free.
    EXPECT_STREQ(r.Fuelprice, "0.0");
    EXPECT_STREQ(r.Fuel_Bought, "80000");
    // fScalar sqrt(2)/10 = 0.14142; weight 160000+12000+35700+15000+500 = 223200,
    // ratio 0.8928, x = 0.94488*420 - 300 = 96.85, fLandScale 1.54948, D 7:
    // gear 80 - 0.021913 = 79.97809; engine 80 - 0.0028284*(0.77474+7) = 79.97801;
    // hull 80 - (0.012374 + 0.077474) = 79.91015; value 1e8*239.86625/300 = 79955416.
    EXPECT_NEAR(a.a_StateHull, 79.91015f, 1e-3);
    EXPECT_EQ(a.a_Value, 79955416);
    // KJFK class 3: 250000*8/2000 = 1000; EGLL class 6 pays as class 5: 250000*16/2000 = 2000.
    EXPECT_EQ(r.landing_fee, 3000);
    // H = 6000/480 + 0.5 = 13; tickets at factor 1.5: 225000 + 90000 + 60000 = 375000.
    // Catering (10*4 + 300 + 80)*1.5 = 630; crew (850/85)*20*13 + 2*630*13 = 18980,
    // plus (sqrt(350000)/12 + 40) * (5/3) * 13 = 1934.8 -> 20914.
    EXPECT_EQ(r.Crew, 20914);
    // Cargo: rate(6000) = 634, factor 14000*0.75/13000 = 0.80769: 12000*0.80769*634/100 = 61449.
    EXPECT_STREQ(r.Cargo, "61449");
    // P0 = 375000 - 20914 - 0 + 61449 - 1300 - 3000 = 411235; bonus at 4x: 5% = 20561;
    // charge 20% of 431796 = 86359; profit 345437; salary 86359 + 1300.
    EXPECT_EQ(r.Bonus, 20561);
    EXPECT_EQ(r.Salary, 87659);
    EXPECT_EQ(r.Profit, 345437);
}

// --- the rules' own examples ---

TEST_F(FlightEvaluationTest, TouchdownAtMinus350WithRatioOneScalesBy2500Over17070)
{
    client.types.d_MLW = 0; // ratio 1
    sim.lLandingVerticalSpeed = -350;
    report.evaluateFlight();
    const float landScale = 1.0f + 2500.0f / 17070.71f;
    EXPECT_NEAR(client.aircraft.a_StateGear, 100.0f - 0.01f * landScale, 1e-5);
}

struct HoursCase {
    double seconds;
    const char* hours;
};

class HoursTest : public FlightEvaluationTest, public ::testing::WithParamInterface<HoursCase> {};

TEST_P(HoursTest, ShortFlightsRoundUpToATenth)
{
    client.report.departSeconds = 500.0;
    sim.dFlightTime = 500.0 + GetParam().seconds;
    report.evaluateFlight();
    EXPECT_STREQ(rep().Hours, GetParam().hours);
}

INSTANTIATE_TEST_SUITE_P(Table, HoursTest,
                         ::testing::Values(HoursCase{180, "0.1"}, HoursCase{30, "0.0"}, HoursCase{36, "0.0"},
                                           HoursCase{37, "0.1"}, HoursCase{5400, "1.5"},
                                           HoursCase{3 * 3600 + 170, "3.0"}));

struct FuelPriceCase {
    const char* price;
    int airlineAircraft;
    const char* stored;
    int profit;
};

class FuelPriceTest : public FlightEvaluationTest, public ::testing::WithParamInterface<FuelPriceCase> {};

TEST_P(FuelPriceTest, MissingPriceIsOnePointFourAndAirlineAircraftPayNothing)
{
    const FuelPriceCase& c = GetParam();
    copyText(client.report.Fuelprice, c.price);
    client.aircraft.ac_va_id = c.airlineAircraft;
    report.evaluateFlight();
    EXPECT_STREQ(rep().Fuelprice, c.stored);
    EXPECT_EQ(rep().Profit, c.profit);
}

// Against the normal flight (P0 2786 with 14808 of fuel):
// 1.4: fuel 6000*1.4*1.234 = 10365, P0 7229, bonus 1445, charge 867, profit 7807.
// free: P0 17594, bonus 3518, charge 2111, profit 19001.
INSTANTIATE_TEST_SUITE_P(Table, FuelPriceTest,
                         ::testing::Values(FuelPriceCase{"0", 0, "1.4", 7807}, FuelPriceCase{"", 0, "1.4", 7807},
                                           FuelPriceCase{"2.5", 2, "0.0", 19001}, FuelPriceCase{"0", 2, "0.0", 19001},
                                           FuelPriceCase{"2.0", 0, "2.0", 3009}));

struct RatingCase {
    const char* name;
    std::vector<int> items;
    const char* rating;
    const char* reasons;
    int reputation;
};

class RatingTest : public FlightEvaluationTest, public ::testing::WithParamInterface<RatingCase> {};

TEST_P(RatingTest, ItemsAfterTheCleanUp)
{
    for (int item : GetParam().items)
        report.addPenalty(item);
    report.evaluateFlight();
    EXPECT_STREQ(rep().Rating, GetParam().rating);
    EXPECT_STREQ(rep().Ratingreasons, GetParam().reasons);
    EXPECT_EQ(client.airline.v_Reputation, GetParam().reputation);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RatingTest,
    ::testing::Values(RatingCase{"HighSpeedApprovalReplacesOverspeed", {7, 13}, "95", "High speed disabled | ", 1},
                      RatingCase{"OverspeedAlone", {7}, "95", "overspeed under FL100 | ", 1},
                      RatingCase{"ApprovalAloneIsDropped", {13}, "100", "", 1},
                      RatingCase{"VeryHardReplacesHard", {10, 19}, "85", "Very Hard Landing | ", -4},
                      RatingCase{"WaterLandingDropsLandingItems", {23, 10, 22, 1}, "50", "Water Landing | ", -19},
                      RatingCase{"PenaltiesDisabledSuppressesTaxiOverspeed",
                                 {14, 0, 4, 8},
                                 "75",
                                 "exhausted fuel supply | Penalties disabled | ",
                                 -4},
                      RatingCase{"WrongAirportClearedAtTheBookedArrival",
                                 {1, 20, 21},
                                 "80",
                                 "Ground Accident | Serious Ground Accident | ",
                                 -4},
                      RatingCase{"RatingIsNotLimitedBelow",
                                 {0, 3, 4, 7, 12, 1, 2, 8, 19, 21, 22, 23, 20, 14},
                                 "-20",
                                 "overspeed - taxi | crashed | still rolling when ending flight | parking brakes | "
                                 "overspeed under FL100 | exhausted fuel supply | Low altitude | Penalties disabled | "
                                 "Ground Accident | Serious Ground Accident | ",
                                 1 - 20 - 5 - 5}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FlightEvaluationTest, ArrivalInOtherLetterCaseClearsWrongAirportButEarnsNothing)
{
    copyText(client.route.r_Arr, "egll");
    addItems({ItemWrongAirport});
    report.evaluateFlight();
    EXPECT_STREQ(rep().Ratingreasons, "");
    EXPECT_STREQ(rep().Ticket, "0");
}

struct FeeCase {
    double fee;
    int size;
    int mlw;
    int engines;
    int expected;
};

class LandingFeeTest : public ::testing::TestWithParam<FeeCase> {};

TEST_P(LandingFeeTest, ByFeeOrSizeClass)
{
    const FeeCase& c = GetParam();
    CClientInterface client;
    client.addAirport(0, 0, 0, c.fee, c.size, "ABCD");
    EXPECT_EQ(CFlightEvaluation::landingFee(client, "abcd", c.mlw, c.engines), c.expected);
    EXPECT_EQ(CFlightEvaluation::landingFee(client, "WXYZ", c.mlw, c.engines), 0);
}

INSTANTIATE_TEST_SUITE_P(Table, LandingFeeTest,
                         ::testing::Values(FeeCase{-1, 0, 60000, 2, 120},  // 60000*4/2000
                                           FeeCase{-1, 1, 10000, 2, 25},   // 20 below the minimum
                                           FeeCase{-1, 2, 60000, 2, 180},  // rate 6
                                           FeeCase{-1, 3, 20000, 2, 100},  // 80 below the minimum
                                           FeeCase{-1, 4, 60000, 2, 360},  // rate 12
                                           FeeCase{-1, 5, 60000, 2, 480},  // rate 16
                                           FeeCase{-1, 9, 60000, 2, 480},  // above the table: as class 5
                                           FeeCase{-1, -3, 60000, 2, 120}, // below: rate 4, no minimum
                                           FeeCase{-1, 0, 2400, 1, 2},     // small single: half of 4
                                           FeeCase{-1, 1, 2400, 1, 25},    // minimum, not halved
                                           FeeCase{-1, 0, 2500, 1, 5},     // not below 2500
                                           FeeCase{-1, 0, 2400, 2, 4},     // twin: full
                                           FeeCase{300, 5, 60000, 2, 150}, // given fee halved
                                           FeeCase{0, 5, 60000, 2, 0}));

TEST(CargoRateTest, ByDistance)
{
    // 0 km: v = 500*1.234*1.4/420 + 50 = 52.057; 52.057 + 10 - 5.206 + 0.5 -> 57.
    EXPECT_EQ(CFlightEvaluation::cargoRate(0.0f), 57);
    EXPECT_EQ(CFlightEvaluation::cargoRate(650.0f), 121);
    EXPECT_EQ(CFlightEvaluation::cargoRate(6000.0f), 634);
    // Nonsense distances earn nothing rather than a huge or negative rate.
    EXPECT_EQ(CFlightEvaluation::cargoRate(100000.0f), 0);
    EXPECT_EQ(CFlightEvaluation::cargoRate(-50.0f), 0);
}

// The actual arrival is judged by the closest approach to the booked airport on
// the ground, so taxiing away from it after landing does not move the arrival.
struct ArrivalCase {
    const char* name;
    double closestArrivalNm; // the phase machine's closest approach on the ground
    double otherAirportNm;   // another airport north of the aircraft; 0 = none listed
    const char* arr;
};

class ActualArrivalTest : public FlightEvaluationTest, public ::testing::WithParamInterface<ArrivalCase> {};

TEST_P(ActualArrivalTest, ClosestApproachOnTheGroundDecides)
{
    const ArrivalCase& c = GetParam();
    // 6 nm north of EGLL's reference point, no answer held from earlier.
    const double lat = 51.5 + 6.0 / 60.0;
    standAt("", lat, -0.5);
    if (c.otherAirportNm > 0.0)
        client.addAirport(lat + c.otherAirportNm / 60.0, -0.5, 1.5, -1, 3, "EGXX");
    sim.dClosestArrivalDistance = c.closestArrivalNm;
    report.evaluateFlight();
    EXPECT_STREQ(rep().Arr, c.arr);
}

INSTANTIATE_TEST_SUITE_P(Table, ActualArrivalTest,
                         ::testing::Values(ArrivalCase{"TaxiedAwayFromTheBookedAirport", 0.4, 0.0, "EGLL"},
                                           ArrivalCase{"TaxiedTowardAnotherAirport", 0.4, 5.5, "EGLL"},
                                           ArrivalCase{"NeverNearTheBookedAirport", 40.0, 5.5, "EGXX"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FlightEvaluationTest, ResetFlightDataEmptiesTheFlight)
{
    addItems({ItemCrashed});
    report.evaluateFlight();
    report.resetFlightData();
    EXPECT_STREQ(client.airline.v_ID, "0");
    EXPECT_STREQ(client.airline.v_Name, "");
    EXPECT_EQ(client.airline.v_Reputation, 0);
    EXPECT_EQ(client.airline.v_Pilotcharge, 0);
    EXPECT_STREQ(client.pilot.name, "");
    EXPECT_STREQ(client.report.Rating, "");
    EXPECT_EQ(client.report.Profit, 0);
    EXPECT_FALSE(report.hasPenalty(ItemCrashed));
}

} // namespace
