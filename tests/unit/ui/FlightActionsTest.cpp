// The flight buttons as a pilot presses them: load-sheet remedies, fuelling,
// diversion, the end-of-flight rules, the report pages and Exit.
#include "ui/FlightActions.h"
#include "core/FixedText.h"
#include "report/IniParser.h"
#include "report/Report.h"
#include "server/Base64.h"
#include "server/ClientInterface.h"
#include "support/FlightFixture.h"
#include "support/StoreFiles.h"
#include "ui/ControlIds.h"
#include "ui/FlightEnd.h"

#include <gtest/gtest.h>

#include <string>

namespace {

bool shown(const HeadlessWindow& w, const std::string& title)
{
    for (const auto& box : w.boxes) {
        if (box.title == title)
            return true;
    }
    return false;
}

struct ActionsTest : ::testing::Test {
    // An aircraft loaded with `passengers` and `cargo`, exactly `excess` kg
    // above its zero-fuel limit (the landing and take-off limits are far).
    void overweightBy(int excess, int passengers, int cargo)
    {
        CClientInterface& c = f.ui->getClient();
        copyText(c.flightLog.l_Passengers, std::to_string(passengers));
        copyText(c.flightLog.l_Cargo, std::to_string(cargo));
        f.sim->lPassengers = passengers;
        f.sim->lCargo = cargo;
        c.types.d_MZFW = c.types.d_DOW + passengers * 102 + cargo - excess;
        f.ui->SetPage(PageLoadSheet);
    }

    FlightFixture f;
};

struct LoadCase {
    int passengers;
    int cargo;
    int excess;
    int passengersAfter; // after "Change" on passengers
    int cargoAfter;      // after "Change" on cargo instead
};

struct LoadSheetChange : ActionsTest, ::testing::WithParamInterface<LoadCase> {};

TEST_P(LoadSheetChange, RemovesPassengersInWholeSeatsAndNeverMakesCargoNegative)
{
    const LoadCase p = GetParam();
    overweightBy(p.excess, p.passengers, p.cargo);
    f.ui->OnButton(IdChangePassengers);
    EXPECT_EQ(f.sim->lPassengers, p.passengersAfter);
    EXPECT_EQ(fieldText(f.ui->getClient().flightLog.l_Passengers), std::to_string(p.passengersAfter));

    overweightBy(p.excess, p.passengers, p.cargo);
    f.ui->OnButton(IdChangeCargo);
    EXPECT_EQ(f.sim->lCargo, p.cargoAfter);
    EXPECT_EQ(fieldText(f.ui->getClient().flightLog.l_Cargo), std::to_string(p.cargoAfter));
}

INSTANTIATE_TEST_SUITE_P(Table, LoadSheetChange,
                         ::testing::Values(LoadCase{3, 0, 250, 0, 0},     // n: 250, 148, 46
                                           LoadCase{5, 0, 250, 2, 0},     // three seats cover it
                                           LoadCase{1, 0, 250, 0, 0},     // stops at no passengers
                                           LoadCase{0, 200, 300, 0, 0},   // cargo 0, never negative
                                           LoadCase{0, 200, 50, 0, 150}), // cargo reduced by the excess
                         [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST_F(ActionsTest, OnlyAnOverweightLoadSheetOffersTheChangeButtons)
{
    overweightBy(250, 3, 0);
    f.ui->getFlightActions().updateLoadSheetButtons();
    EXPECT_FALSE(f.window.isControlVisible(IdFly));
    EXPECT_TRUE(f.ui->isEnabled(IdChangePassengers));
    EXPECT_FALSE(f.ui->isEnabled(IdChangeCargo)) << "no cargo to take away";

    f.ui->OnButton(IdChangePassengers);
    EXPECT_TRUE(f.window.isControlVisible(IdFly));
    EXPECT_FALSE(f.ui->isEnabled(IdChangePassengers));
}

struct ReserveCase {
    int fuelCapacity, range, speed;
    int afterPlus;  // reserve after one "+" from the four quarter hours a fuel page sets
    int afterMinus; // reserve after one "-" from there instead
};

struct Reserve : ActionsTest, ::testing::WithParamInterface<ReserveCase> {};

TEST_P(Reserve, QuarterHoursOfTheHourlyRate)
{
    const ReserveCase p = GetParam();
    AircraftTypeData& t = f.ui->getClient().types;
    t.d_fuel = p.fuelCapacity;
    t.d_range = p.range;
    t.d_speed = p.speed;
    f.ui->SetPage(PageLoadSheet);
    f.sim->lExtraFuelSteps = 4;
    f.ui->OnButton(IdReservePlus);
    EXPECT_EQ(f.sim->lExtraFuelSteps, 5);
    EXPECT_EQ(f.sim->lExtraFuel, p.afterPlus);
    f.sim->lExtraFuelSteps = 4;
    f.ui->OnButton(IdReserveMinus);
    EXPECT_EQ(f.sim->lExtraFuel, p.afterMinus);
}

INSTANTIATE_TEST_SUITE_P(Table, Reserve,
                         ::testing::Values(ReserveCase{10000, 1000, 400, 2500, 1500}, // rate min(2000, 2000)
                                           ReserveCase{10000, 0, 400, 0, 0},          // no range, no reserve
                                           ReserveCase{10000, 4000, 400, 625, 375}),  // rate min(2000, 500)
                         [](const auto& info) { return "Case" + std::to_string(info.index); });

struct FuelUpCase {
    float refusedKg;
    int page;
};

struct FuelUp : ActionsTest, ::testing::WithParamInterface<FuelUpCase> {};

TEST_P(FuelUp, ReadBackWithinToleranceConfirmsTheLoadSheet)
{
    f.ui->fuelMethod = 1; // Simple: one additional-fuel figure
    f.ui->getClient().aircraft.a_Fuel = 6000;
    f.sim->fuelRefusedKg = GetParam().refusedKg;
    f.ui->SetPage(PageSimpleFuel);
    f.sim->getAircraftTanks(); // as the fuel page does when it opens
    f.window.setControlText(IdEditAdditionalFuel, "2000");
    f.ui->OnButton(IdFuelUp);
    EXPECT_EQ(f.ui->getPage(), GetParam().page);
    EXPECT_EQ(f.sim->lFuelRequested, 8000);
    EXPECT_EQ(f.sim->lFuelReadBack, 8000 - static_cast<int>(GetParam().refusedKg));
}

INSTANTIATE_TEST_SUITE_P(Table, FuelUp,
                         ::testing::Values(FuelUpCase{0.0f, PageLoadSheet}, FuelUpCase{25.0f, PageLoadSheet},
                                           FuelUpCase{26.0f, PageFuelError}),
                         [](const auto& info) { return "Refused" + std::to_string(info.index); });

TEST_F(ActionsTest, TankFieldsTypedInPoundsFuelTheTanksInKilograms)
{
    f.ui->weightUnit = WeightUnitLbs;
    f.ui->SetPage(PageFuelTanks);
    for (int id = IdTankMainLeft; id <= IdTankExternal2; ++id)
        f.window.setControlText(id, "0");
    f.window.setControlText(IdTankMainLeft, "4409");
    f.window.setControlText(IdTankMainCenter, "2204");
    f.ui->OnButton(IdFuelUp);
    EXPECT_EQ(f.ui->getPage(), PageLoadSheet);
    EXPECT_EQ(f.sim->state.tankLevel[CFlightSimulatorObjects::TankLeftMain], 1999.0f);
    EXPECT_EQ(f.sim->state.tankLevel[CFlightSimulatorObjects::TankCentre], 999.0f);
    EXPECT_EQ(f.sim->state.tankLevel[CFlightSimulatorObjects::TankRightMain], 0.0f);
}

struct DivertCase {
    const char* typed;
    const char* shown;
};

struct Divert : ActionsTest, ::testing::WithParamInterface<DivertCase> {};

TEST_P(Divert, ConfirmFreesThePilotToLandAndIsOfferedOnce)
{
    f.startFlying();
    f.ui->OnButton(IdDivert);
    EXPECT_EQ(f.ui->getPage(), PageDivert);
    f.window.setControlText(IdEditDivertAirport, GetParam().typed);
    f.ui->OnButton(IdConfirmDivert);
    EXPECT_EQ(f.ui->getPage(), PageFlying);
    EXPECT_EQ(f.sim->bEmergency, 1);
    ASSERT_FALSE(f.sim->texts.empty());
    EXPECT_EQ(f.sim->texts.back(), GetParam().shown);
    EXPECT_FALSE(f.window.isControlVisible(IdDivert));
}

INSTANTIATE_TEST_SUITE_P(Table, Divert,
                         ::testing::Values(DivertCase{"egll", "Emergency - you can now land at EGLL!"},
                                           DivertCase{"", "Emergency - you can now land at any airport!"}),
                         [](const auto& info) { return "Case" + std::to_string(info.index); });

struct EndCase {
    const char* name;
    TestBooking booking;
    const char* stops; // r_technical_stop
    double landLat, landLon;
    bool climbed, leftStart;
    int page;
    bool wrongAirport, lowAltitude, diverted;
    const char* flightType = "0";
};

struct EndFlight : ActionsTest, ::testing::WithParamInterface<EndCase> {};

TEST_P(EndFlight, MinimumDistanceAndLandingAirportRules)
{
    const EndCase& p = GetParam();
    CClientInterface& c = f.ui->getClient();
    bookFlight(c, p.booking);
    copyText(c.route.r_technical_stop, p.stops);
    copyText(c.flightLog.l_FlightType, p.flightType);
    c.addAirport(57.5425, -4.0475, 1.2, -1, 3, "EGPB"); // a listed stop
    c.addAirport(55.9500, -3.3725, 1.2, -1, 3, "EGPH"); // not listed anywhere
    f.startFlying();
    f.sim->state.latitude = p.landLat;
    f.sim->state.longitude = p.landLon;
    f.sim->lAbove500Reported = p.climbed ? 1 : 0;
    f.sim->lLeftStartArea = p.leftStart ? 1 : 0;

    f.ui->OnButton(IdEndFlight);

    EXPECT_EQ(f.ui->getPage(), p.page);
    const bool aborted = p.page == PageHome;
    EXPECT_EQ(shown(f.window, "Flight Aborted"), aborted);
    EXPECT_EQ(f.ui->presses(IdLogin), aborted ? 1 : 0);
    const CReport& r = f.ui->getReport();
    EXPECT_EQ(r.hasPenalty(ItemWrongAirport), p.wrongAirport);
    EXPECT_EQ(r.hasPenalty(ItemLowAltitude), p.lowAltitude);
    EXPECT_EQ(f.sim->bDiverted != 0, p.diverted);
}

const TestBooking kCircuit{"EGLL", kTestDepLat, kTestDepLon, "EGLL", kTestDepLat, kTestDepLon};
const TestBooking kExempt{"EGEP", 59.3503, -2.9500, "EGEW", 59.3503, -2.9500};
const TestBooking kLondonFrankfurt{};

INSTANTIATE_TEST_SUITE_P(
    Table, EndFlight,
    ::testing::Values(
        EndCase{"CircuitTooShort", kCircuit, "", kTestDepLat, kTestDepLon, true, false, PageHome, false, false, false},
        EndCase{"ExemptRouteNotAborted", kExempt, "", 59.3503, -2.95, true, false, PageComment, false, false, false},
        EndCase{"ExemptRouteNoLowAltitude", kExempt, "", 59.3503, -2.95, false, false, PageComment, false, false,
                false},
        EndCase{"TechnicalStopIsADiversion", kLondonFrankfurt, "EGPA, EGPB", 57.5425, -4.0475, true, true, PageComment,
                false, false, true},
        EndCase{"UnlistedAirportIsWrong", kLondonFrankfurt, "EGPA, EGPB", 55.95, -3.3725, true, true, PageComment, true,
                false, false},
        EndCase{"NeverClimbedIsLowAltitude", kLondonFrankfurt, "", kTestArrLat, kTestArrLon, false, true, PageComment,
                false, true, false},
        EndCase{"NeverClimbedNorLeftTheStartIsAborted", kLondonFrankfurt, "", kTestDepLat, kTestDepLon, false, false,
                PageHome, false, false, false},
        EndCase{"FlightType2SkipsDistanceAndAirport", kLondonFrankfurt, "", kTestDepLat, kTestDepLon, false, false,
                PageComment, false, true, false, "2"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ActionsTest, CommentIsCutTo255CharactersBeforeEncoding)
{
    f.startFlying();
    f.sim->lAbove500Reported = 1;
    f.sim->lLeftStartArea = 1;
    f.sim->state.latitude = kTestArrLat;
    f.sim->state.longitude = kTestArrLon;
    f.ui->OnButton(IdEndFlight);
    ASSERT_EQ(f.ui->getPage(), PageComment);
    const std::string comment(300, 'c');
    f.window.setControlText(IdEditComment, comment);
    f.ui->OnButton(IdNext); // acts as "End flight" here

    char expected[kBase64Limit + 1];
    base64Encode(expected, comment.substr(0, 255));
    EXPECT_EQ(fieldText(f.ui->getClient().report.Comment64), expected);
    // No service in this test: the report is not uploaded and the pilot logs in afresh.
    EXPECT_EQ(f.ui->getPage(), PageLogin);
    EXPECT_EQ(f.ui->presses(IdLogin), 1);
}

// Packages "CODE,lat,lon" north of the landing place by whole nautical miles.
std::string packageNorth(const char* code, double nm)
{
    constexpr double kDegPerNm = 1.0 / (0.017453292522222223 * 3437.7467703360626);
    return std::string(code) + "," + std::to_string(kTestArrLat + nm * kDegPerNm) + "," + std::to_string(kTestArrLon);
}

struct PackageCase {
    const char* name;
    std::string packages;
    bool offered;
};

struct PackagesOffer : ::testing::TestWithParam<PackageCase> {};

TEST_P(PackagesOffer, WithinFiftyMilesOfAnotherAirport)
{
    EXPECT_EQ(CFlightEnd::packagesNearby(GetParam().packages, "EDDF", kTestArrLat, kTestArrLon), GetParam().offered);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PackagesOffer,
    ::testing::Values(PackageCase{"Within", packageNorth("EDFE", 49.9), true},
                      PackageCase{"Beyond", packageNorth("EDFE", 50.1), false},
                      PackageCase{"LandedThereAlready", packageNorth("eddf", 1), false},
                      PackageCase{"SecondEntry", packageNorth("EDDS", 90) + " " + packageNorth("EDFE", 10), true},
                      PackageCase{"Malformed", "EDFE,50.1 ,8.5", false}, PackageCase{"None", "", false}),
    [](const auto& info) { return std::string(info.param.name); });

struct DeliverCase {
    const char* name;
    bool offered, ticked;
    int deliverAll;
};

struct DeliverAll : ActionsTest, ::testing::WithParamInterface<DeliverCase> {};

TEST_P(DeliverAll, OnlyAnOfferedAndTickedBoxDeliversAll)
{
    const DeliverCase& p = GetParam();
    f.startFlying();
    f.ui->SetPage(PageComment);
    f.ui->offerPackages = p.offered;
    f.window.setCheck(IdCheckDeliverPackages, p.ticked);
    f.ui->OnButton(IdEndFlight);
    EXPECT_EQ(f.ui->getClient().report.deliver_all, p.deliverAll);
    EXPECT_FALSE(f.ui->offerPackages) << "the next flight's comment page asks afresh";
}

INSTANTIATE_TEST_SUITE_P(Table, DeliverAll,
                         ::testing::Values(DeliverCase{"OfferedAndTicked", true, true, 1},
                                           DeliverCase{"OfferedNotTicked", true, false, 0},
                                           DeliverCase{"TickedNotOffered", false, true, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

struct NextCase {
    int page;
    bool activeItem;
    int pageAfter;
    bool freshLogin;
};

struct Next : ActionsTest, ::testing::WithParamInterface<NextCase> {};

TEST_P(Next, PagesThroughTheReportAndSkipsAnEmptyPenaltiesPage)
{
    const NextCase p = GetParam();
    if (p.activeItem)
        f.ui->getReport().addPenalty(ItemHardLanding);
    f.ui->SetPage(p.page);
    f.ui->OnButton(IdNext);
    EXPECT_EQ(f.ui->getPage(), p.pageAfter);
    EXPECT_EQ(f.ui->presses(IdLogin), p.freshLogin ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Table, Next,
                         ::testing::Values(NextCase{PageReportRoute, false, PageReportFinances, false},
                                           NextCase{PageReportFinances, true, PageReportPenalties, false},
                                           NextCase{PageReportFinances, false, PageLogin, true},
                                           NextCase{PageReportPenalties, true, PageLogin, true}),
                         [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST_F(ActionsTest, ExitWhileFlyingAsksFirstAndCancelKeepsTheFlight)
{
    f.startFlying();
    f.window.answers = {MessageBoxResult::Cancel};
    f.ui->OnButton(IdExit);
    ASSERT_EQ(f.window.boxes.size(), 1u);
    EXPECT_EQ(f.window.boxes[0].title, "Abort flight?");
    EXPECT_EQ(f.window.boxes[0].text, "Confirm to abort the flight");
    EXPECT_FALSE(f.window.isClosed());
    EXPECT_EQ(f.ui->getPage(), PageFlying);

    f.window.answers = {MessageBoxResult::Ok};
    f.ui->OnButton(IdClose);
    EXPECT_TRUE(f.window.isClosed());
    EXPECT_EQ(f.ui->getPage(), PageHome);
    EXPECT_TRUE(f.logs.contains("Aborting flight in progress!"));
}

// Log-off or shutdown during a flight: nobody answers a box, so none is
// shown; the flight keeps its autosave for the next start, the settings
// reach the disk before the handler returns, and the window closes.
TEST_F(ActionsTest, EndOfTheSessionSavesWithoutAskingAndKeepsTheFlight)
{
    f.startFlying();
    CIniParser& store = CIniParser::getInstance();
    ASSERT_TRUE(store.writeConfigString("options", "Tracker", "0"));
    f.ui->onEndSession();
    EXPECT_TRUE(f.window.boxes.empty());
    EXPECT_TRUE(f.window.isClosed());
    EXPECT_EQ(f.ui->getPage(), PageFlying) << "not aborted";
    EXPECT_FALSE(f.logs.contains("Aborting flight in progress!"));
    EXPECT_NE(readWholeFile(store.getSettingsPath()).find("Tracker = 0"), std::string::npos);
}

TEST_F(ActionsTest, ExitAwayFromAFlightClosesWithoutAsking)
{
    f.ui->SetPage(PageHome);
    f.ui->OnButton(IdMenuExit);
    EXPECT_TRUE(f.window.boxes.empty());
    EXPECT_TRUE(f.window.isClosed());
}

} // namespace
