// What each page draws, asserted on the recorded drawing calls of a headless
// window: texts, formats, positions, fonts and colours.
#include "core/FixedText.h"
#include "monitor/FlightState.h"
#include "monitor/blackbox/Blackbox.h"
#include "platform/headless/RecordingSoundOutput.h"
#include "report/IniParser.h"
#include "report/Report.h"
#include "server/ClientInterface.h"
#include "sim/SnapshotBlocks.h"
#include "support/FlightFixture.h"
#include "ui/ControlIds.h"
#include "ui/DisplayFormat.h"
#include "ui/FlightActions.h"
#include "ui/FlightPagePainter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace {

struct Rgb {
    int r, g, b;
};
constexpr Rgb kWhite{255, 255, 255}, kBlack{0, 0, 0}, kRed{255, 0, 0}, kDarkRed{120, 0, 0}, kGreen{0, 100, 0},
    kGrey50{50, 50, 50}, kGrey100{100, 100, 100};

// One text the page must draw; x, y are the wrapped area's corner for blocks.
struct Shown {
    std::string text;
    int x, y, font;
    Rgb colour;
    bool rightAligned = false;
};

struct PageCase {
    const char* name;
    int page;
    std::function<void(FlightFixture&)> setup;
    std::vector<Shown> shown;
    std::vector<std::string> absent = {};
};

void PrintTo(const PageCase& c, std::ostream* os)
{
    *os << c.name;
}

void logIn(FlightFixture& f, const char* name = "Anna", const char* budget = "1234567")
{
    Tervix_Pilots& p = f.ui->getClient().pilot;
    copyText(p.name, name);
    copyText(p.surname, "Berg");
    copyText(p.rank, "Captain");
    copyText(p.location, "EGLL");
    copyText(p.budget, budget);
    f.ui->loggedIn = true;
}

void bookRoute(FlightFixture& f)
{
    CClientInterface& c = f.ui->getClient();
    copyText(c.route.r_ID, "77");
    copyText(c.flightLog.l_ID, "501");
    copyText(c.route.r_DepTime, "0930");
    copyText(c.route.r_ArrTime, "1045");
    copyText(c.flightLog.l_Dist, "355");
    copyText(c.flightLog.l_Duration, "75");
    copyText(c.flightLog.crew_type, "captain");
    copyText(c.aircraft.a_Type, "A320");
    copyText(c.aircraft.a_Registration, "G-QVLA");
    c.aircraft.a_StateEng1 = 98.5f;
    c.aircraft.a_StateGear = 97.25f;
    c.aircraft.a_StateHull = 99.0f;
    c.aircraft.a_Fuel = 5000;
    c.aircraft.a_Value = 4500000;
    c.aircraft.routeDistance = 355.0;
    c.types.d_range = 3000;
    c.lastFuelPrice = 1.25f;
}

void addItem(FlightFixture& f, int item)
{
    f.ui->getReport().addPenalty(item);
}

// The simulator's zero fuel weight off ours (59900 kg for the test booking) by some kg.
std::function<void(FlightFixture&)> simulatorZfwOff(int kg)
{
    return [kg](FlightFixture& f) { f.sim->state.payload = 59900.0 + kg - f.sim->state.emptyWeight; };
}

// A window that paints through the user interface.
class PageSideEffectsTest : public ::testing::Test {
protected:
    void SetUp() override { f.window.setEvents(f.ui.get()); }
    void TearDown() override { f.window.setEvents(nullptr); }
    FlightFixture f;
};

class PagePainterTest : public PageSideEffectsTest, public ::testing::WithParamInterface<PageCase> {};

TEST_P(PagePainterTest, DrawsThePage)
{
    const PageCase& c = GetParam();
    if (c.setup)
        c.setup(f);
    f.ui->SetPage(c.page);
    const RecordingPainter& painted = f.window.paintAll();
    for (const Shown& s : c.shown) {
        const RecordingPainter::Call* call = painted.findText(s.text);
        ASSERT_NE(call, nullptr) << "missing: " << s.text;
        EXPECT_EQ(call->x, s.x) << s.text;
        EXPECT_EQ(call->y, s.y) << s.text;
        EXPECT_EQ(call->font, s.font) << s.text;
        EXPECT_EQ(call->rightAligned, s.rightAligned) << s.text;
        EXPECT_EQ((std::vector<int>{call->red, call->green, call->blue}),
                  (std::vector<int>{s.colour.r, s.colour.g, s.colour.b}))
            << s.text;
    }
    for (const std::string& text : c.absent)
        EXPECT_FALSE(painted.contains(text)) << "unexpected: " << text;
}

const PageCase kPages[] = {
    {"TitleWithoutPilotPanelOnLogin", PageLogin, [](FlightFixture& f) { logIn(f); },
     {{"Client - v2.6.1.0", 17, 45, 4, kWhite}, {"Email:", 230, 200, 8, kBlack}},
     {"Pilot"}},
    {"PilotPanelCutsAndGroups", PageHome,
     [](FlightFixture& f) {
         logIn(f, "Bartholomew Alexander");
         copyText(f.ui->getClient().pilot.alt_code, "LHR");
     },
     {{"Pilot", 26, 87, 3, kWhite},
      {"Budget:", 26, 190, 5, kGrey50},
      {"Bartholomew A.", 82, 110, 4, kGrey100},
      {"EGLL (LHR)", 82, 170, 4, kGrey100},
      {"1,234,567 v$", 82, 190, 4, kGrey100}}},
    {"PilotPanelMillionsAndPlainLocation", PageOptions,
     [](FlightFixture& f) {
         logIn(f, "Anna", "12345678");
         copyText(f.ui->getClient().pilot.alt_code, "EGLL");
     },
     {{"12 mio v$", 82, 190, 4, kGrey100}, {"EGLL", 82, 170, 4, kGrey100}, {"Anna", 82, 110, 4, kGrey100}}},
    {"PilotPanelOnlyOnceLoggedIn", PageHome, nullptr, {}, {"Pilot", "Name:"}},
    {"HomeShowsNews", PageHome,
     [](FlightFixture& f) {
         copyText(f.ui->getClient().news.Header, "New routes");
         copyText(f.ui->getClient().news.Text, "Twelve new routes from EDDF.");
     },
     {{"New routes", 210, 120, 3, kBlack}, {"Twelve new routes from EDDF.", 210, 145, 0, kBlack}}},
    {"HomeSuspended", PageHome,
     [](FlightFixture& f) {
         copyText(f.ui->getClient().pilot.va_status, "2");
         copyText(f.ui->getClient().news.Header, "New routes");
     },
     {{"Home - News", 200, 86, 3, kWhite}, {"You have been supended by the QVL Staff", 210, 120, 3, kRed}},
     {"New routes"}},
    {"HomeBlocked", PageHome, [](FlightFixture& f) { copyText(f.ui->getClient().pilot.va_status, "3"); },
     {{"Blocked, Multiple Accounts from same location", 210, 120, 3, kRed}}},
    {"OptionsLabels", PageOptions, nullptr,
     {{"General Client Settings", 200, 120, 3, kBlack},
      {"In Flight Settings", 200, 220, 3, kBlack},
      {"Automatic login at startup", 210, 140, 8, kBlack},
      {"Flight Simulator interface", 210, 200, 8, kBlack},
      {"Enable autosave (beta)", 210, 300, 8, kBlack}}},
    {"FlightInformationWithoutBooking", PageFlightInformation, nullptr,
     {{"Please book a flight first!", 210, 140, 8, kBlack}}, {"Route"}},
    {"FlightInformationCaptain", PageFlightInformation, bookRoute,
     {{"Route", 210, 120, 0, kBlack},
      {"Departure:\tEGLL\nDep.-Time:\t0930\nDistance:\t355 nm\nPassengers:\t150", 210, 145, 8, kBlack},
      {"Destination:\tEDDF\nArr.-Time:\t1045\nDuration:\t75 min\nFuel Price:\t1.25 v$ / l", 387, 145, 8, kBlack},
      {"\n\n\n\n\n\nType:\t\tA320\nEngine:\t98.50 %\nGear:\t\t97.25 %\nPayload:\t17300 kg\n\nPosition: Captain\n",
       210, 145, 8, kBlack},
      {"\n\n\n\n\n\nRegistration:\tG-QVLA\nFuel(tanked):\t5000 kg\nHull:\t\t99.00 %\nValue:\t\t4500000 v$\n", 387,
       145, 8, kBlack}},
     {"You are crew on the flight, you do not need to run the client."}},
    {"FlightInformationCrewInPoundsWithTechnicalStop", PageFlightInformation,
     [](FlightFixture& f) {
         bookRoute(f);
         CClientInterface& c = f.ui->getClient();
         copyText(c.flightLog.crew_type, "copilot");
         c.types.d_range = 300;
         f.ui->weightUnit = WeightUnitLbs;
     },
     {{"Destination:\tEDDF\nArr.-Time:\t1045\nDuration:\t75 min\nFuel Price:\t1.25 v$ / l\nTechnical Stop Required",
       387, 145, 8, kBlack},
      {"\n\n\n\n\n\nType:\t\tA320\nEngine:\t98.50 %\nGear:\t\t97.25 %\nPayload:\t38139 lbs\n\nPosition: Co-Pilot\n",
       210, 145, 8, kBlack},
      {"You are crew on the flight, you do not need to run the client.", 210, 330, 8, kBlack}}},
    {"FlyingDebugLinesAndItems", PageFlying,
     [](FlightFixture& f) {
         f.sim->getEverything();
         f.sim->lFlightPhase = PhaseLanded;
         f.sim->lIndicatedAirspeed = 130;
         f.sim->fSimulationRate = 4.0f;
         f.sim->lLandingVerticalSpeed = -700;
         f.ui->getClient().types.d_range = 100;
         f.ui->getClient().aircraft.routeDistance = 355.0;
         addItem(f, ItemHardLanding);
         addItem(f, ItemWrongAirport);
     },
     {{"Flight State: Landed", 215, 170, 10, kBlack},
      {"Destination : EDDF", 215, 185, 10, kBlack},
      {"Speed (IAS): 130 knots", 365, 170, 10, kBlack},
      {"Altitude (above ground): 0 ft", 365, 200, 10, kBlack},
      {"Sim Rate : 4", 365, 245, 10, kBlack},
      {"Technical Stop Required", 365, 275, 10, kRed},
      {"Penalties/Events:", 215, 280, 3, kBlack},
      {"- wrong airport", 215, 295, 10, kBlack},
      {"- Hard landing", 215, 310, 10, kBlack},
      {"Rating: -15", 365, 295, 9, kRed},
      {"- Landing VS: -700", 215, 325, 10, kBlack}}},
    {"FlyingSlowSimRateAndLandingMargin", PageFlying,
     [](FlightFixture& f) {
         f.sim->getEverything();
         f.sim->getAircraftTanks();
         f.sim->fSimulationRate = 0.5f;
     },
     // 59900 kg without fuel, 6000 kg in the tanks, 66000 kg allowed for landing.
     {{"Sim Rate : 0.50", 365, 245, 10, kBlack},
      {"Fuel: 6000 kg", 215, 245, 10, kBlack},
      {"Current weight: 65900 kg", 215, 260, 10, kBlack},
      {"Landing weight: 66000 kg (+100 kg)", 365, 230, 10, kBlack}},
     {"Technical Stop Required", "- Landing VS: 0"}},
    {"ChecklistP3d5AndFirstFailingCheck", PageChecklist,
     [](FlightFixture& f) {
         f.sim->simulatorVersion = SimP3D5;
         copyText(f.ui->getClient().flightLog.l_ID, "501");
         copyText(f.ui->getClient().closestAirport, "EGLL");
         f.sim->getEverything();
         f.sim->lRadarAltitude = 51;
     },
     {{"Version: Prepar3D 64bit", 365, 120, 6, kGreen},
      {"Flight booked:", 215, 170, 6, kBlack},
      {"yes", 365, 170, 6, kGreen},
      {"Correct FS settings:", 215, 195, 6, kBlack},
      {"Not on ground", 365, 195, 6, kRed}}},
    {"ChecklistFs2024IsUnknownAndAirportFirst", PageChecklist,
     [](FlightFixture& f) {
         f.sim->simulatorVersion = SimFS2024;
         copyText(f.ui->getClient().flightLog.l_ID, "501");
         copyText(f.ui->getClient().closestAirport, "EGKK");
         f.sim->getEverything();
         f.sim->lRadarAltitude = 51;
     },
     {{"Version: unknown", 365, 120, 6, kGreen}, {"wrong airport", 365, 195, 6, kRed}}},
    {"ChecklistSimulatorNotStarted", PageChecklist,
     [](FlightFixture& f) {
         f.sim->link = false;
         f.sim->connectSucceedsAfter = -1;
     },
     {{"not started", 365, 120, 6, kRed}, {"Flight booked:", 215, 145, 6, kBlack}, {"no", 365, 145, 6, kRed}},
     {"Correct FS settings:"}},
    {"ReportRoute", PageReportRoute,
     [](FlightFixture& f) {
         Tervix_Reports& r = f.ui->getClient().report;
         copyText(r.Number, "QV123");
         copyText(r.Arr, "EDDK");
         copyText(r.Pln_Arr, "EDDF");
         copyText(r.Distance, "355");
         copyText(r.Hours, "1.3");
         copyText(f.ui->getClient().flightLog.l_Duration, "75");
     },
     {{"Report - Route", 200, 86, 3, kWhite},
      {"Flight-Nr.:", 215, 120, 3, kBlack},
      {"QV123", 295, 120, 8, kBlack},
      {"EDDK", 295, 180, 8, kBlack},
      {"EDDF", 495, 180, 8, kBlack},
      {"355 nm", 295, 200, 8, kBlack},
      {"1.3 h", 295, 220, 8, kBlack},
      {"75 min", 495, 220, 8, kBlack}}},
    {"ReportFinances", PageReportFinances,
     [](FlightFixture& f) {
         CClientInterface& c = f.ui->getClient();
         Tervix_Reports& r = c.report;
         copyText(r.Fuel_Bought, "1000");
         copyText(r.Fuelprice, "1.5");
         copyText(r.PAX_Economy, "100");
         copyText(r.Ticket, "120");
         copyText(r.PAX_Business, "0");
         copyText(r.Ticket_Business, "300");
         copyText(r.Cargo, "2500");
         copyText(r.Cargo_kg, "2000");
         copyText(r.Multiplier, "1.5");
         copyText(c.flightLog.l_Multiplier, "2");
         c.types.d_Ticket = 1.25;
         r.Crew = 900;
         r.Bonus = 40;
         r.Profit = 10000;
         r.Salary = 1200;
         c.airline.v_Pilotcharge = 12;
         f.ui->weightUnit = WeightUnitLbs;
     },
     {{"-1851 v$", 385, 120, 8, kDarkRed, true},
      {"2204 lbs", 505, 120, 8, kBlack},
      {"Tickets (Economy):", 215, 140, 8, kBlack},
      {"30000 v$", 385, 140, 8, kGreen, true},
      {"0 v$", 385, 160, 8, kBlack, true},
      {"-900 v$", 385, 200, 8, kRed, true},
      {"2500 v$", 385, 220, 8, kGreen, true},
      {"4409 lbs", 505, 220, 8, kBlack},
      {"15000 v$", 385, 280, 8, kBlack, true},
      {"x1.5", 505, 280, 8, kBlack},
      {"1200 v$", 385, 300, 8, kBlack, true},
      {"12%", 505, 300, 8, kBlack}}},
    {"ReportPenalties", PageReportPenalties,
     [](FlightFixture& f) {
         addItem(f, ItemWrongAirport);
         addItem(f, ItemEngineFailure);
     },
     {{"1. wrong airport", 215, 120, 3, kBlack},
      {"Rating: -15", 245, 135, 9, kRed},
      {"Reputation: -5", 335, 135, 9, kRed},
      {"2. Engine Failure", 215, 155, 3, kBlack},
      {"Rating: -0", 245, 170, 9, kGreen},
      {"Total:", 215, 320, 3, kBlack},
      {"Rating:  -15", 245, 340, 9, kRed},
      {"Reputation:  -5", 335, 340, 9, kRed}}},
    {"LoadSheetSimulatorZfwWithinOnePercent", PageSimpleFuel, simulatorZfwOff(299),
     {{"Fuel Up", 200, 86, 3, kWhite}, {"59900 kg", 375, 186, 6, kBlack, true}, {"60199 kg", 375, 206, 6, kBlack, true}},
     {"(+299 kg)"}},
    {"LoadSheetSimulatorZfwFivePercentOff", PageSimpleFuel, simulatorZfwOff(2995),
     {{"(+2995 kg)", 405, 206, 6, kBlack}}},
    {"LoadSheetSimulatorZfwTwelvePercentLight", PageSimpleFuel, simulatorZfwOff(-7188),
     {{"(-7188 kg)", 405, 206, 6, kRed}}},
    {"LoadSheetFigures", PageLoadSheet,
     [](FlightFixture& f) {
         f.ui->fuelMethod = 2;
         f.ui->getClient().flightLog.package_kg = 300;
         f.ui->getClient().aircraft.a_Fuel = 5000;
         copyText(f.ui->getClient().report.Fuelprice, "2");
     },
     // 150 passengers, 2000 kg cargo and 300 kg of packages on 42600 kg; 6000 kg of fuel.
     {{"Confirm Flight", 200, 86, 3, kWhite},
      {"42600 kg", 420, 106, 6, kBlack, true},
      {"150", 300, 126, 6, kBlack, true},
      {"x 102 kg", 305, 126, 6, kBlack},
      {"15300 kg", 420, 126, 6, kBlack, true},
      {"(Packages 300 kg)", 250, 146, 6, kBlack},
      {"2300 kg", 420, 146, 6, kBlack, true},
      {"60200 kg", 375, 186, 6, kBlack, true},
      {"5000 kg", 375, 226, 6, kBlack, true},
      {"2.00 v$ / l", 400, 226, 6, kBlack},
      {"1000 kg", 375, 246, 6, kBlack, true},
      {"6000 kg", 420, 266, 6, kBlack, true},
      {"19900 kg", 375, 306, 6, kBlack, true},
      {"66200 kg", 420, 326, 6, kBlack, true}},
     {"Warning: Unexpected"}},
    {"LoadSheetFuelNotTaken", PageLoadSheet,
     [](FlightFixture& f) {
         f.sim->getAircraftTanks();
         f.sim->lFuelRequested = 6003;
         f.ui->getClient().types.d_MTOW = 60000;
     },
     {{"Warning: Unexpected", 445, 306, 6, kRed},
      {"fuel value! Unable to", 445, 326, 6, kRed},
      {"refuel aircraft!", 445, 346, 6, kRed}},
     {"(Over 6200 kg MTOW)"}},
    {"LoadSheetOverweight", PageLoadSheet,
     [](FlightFixture& f) {
         f.sim->getAircraftTanks();
         f.sim->lFuelRequested = 6002;
         f.ui->getClient().types.d_MTOW = 60000;
         f.ui->getFlightActions().fillFuelFields(true);
     },
     {{"(Over 5900 kg MTOW)", 450, 346, 6, kRed}}, {"Warning: Unexpected"}},
    {"SimpleFuelOverweightAgainstMtow", PageSimpleFuel,
     [](FlightFixture& f) {
         f.sim->getAircraftTanks();
         f.ui->getClient().types.d_MTOW = 65000;
         f.ui->weightUnit = WeightUnitLbs;
         f.ui->getFlightActions().fillFuelFields(true);
     },
     {{"(Over 1984 lbs MTOW)", 450, 346, 6, kRed}}},
    {"WrongVersion", PageWrongVersion,
     [](FlightFixture& f) {
         logIn(f);
         copyText(f.ui->getClient().versions[CClientInterface::VersionClient], "v2.7.0.0");
         copyText(f.ui->getClient().versions[CClientInterface::VersionBeta], "v2.7.1.0");
     },
     {{"Wrong Version", 200, 86, 3, kWhite},
      {"You are using an old version of Quenvale", 210, 120, 3, kBlack},
      {"Version", 26, 87, 3, kWhite},
      {"Your Version: v2.6.1.0", 26, 115, 5, {120, 50, 50}},
      {"Actual Version: v2.7.0.0", 26, 135, 5, kGrey50},
      {"Beta Version: v2.7.1.0", 26, 155, 5, kGrey50}},
     {"Pilot"}},
    {"DownloadWithoutBetaLine", PageDownload,
     [](FlightFixture& f) {
         copyText(f.ui->getClient().versions[CClientInterface::VersionClient], "v2.7.0.0");
         copyText(f.ui->getClient().versions[CClientInterface::VersionBeta], "v2.7.1.0");
     },
     {{"Update", 200, 86, 3, kWhite},
      {"Downloading update...", 215, 120, 6, kBlack},
      {"Actual Version: v2.7.0.0", 26, 135, 5, kGrey50}},
     {"Beta Version: v2.7.1.0"}},
    {"FuelTanks", PageFuelTanks,
     [](FlightFixture& f) {
         f.sim->getAircraftTanks();
         f.sim->fTankLevel[1] = 4000;
         f.ui->getClient().aircraft.a_Fuel = 5000;
         copyText(f.ui->getClient().report.Fuelprice, "1.5");
         logIn(f);
     },
     {{"MAIN LEFT", 277, 109, 11, kBlack},
      {"max 8000 kg", 357, 196, 12, kBlack},
      {"Fuel...", 26, 87, 3, kWhite},
      {"5000 kg", 160, 110, 4, kGrey100, true},
      {"7000 kg", 160, 130, 4, kGrey100, true},
      {"2000 kg", 160, 150, 4, kGrey100, true},
      {"1.50 v$ / l", 172, 170, 4, kGrey100, true},
      {"3702 v$", 160, 190, 4, kGrey100, true}},
     {"Pilot"}},
    {"CommentOffersThePackages", PageComment, [](FlightFixture& f) { f.ui->offerPackages = true; },
     {{"Deliver All Packages", 235, 290, 8, kBlack}},
     {}},
    {"CommentWithoutPackages", PageComment, nullptr, {}, {"Deliver All Packages"}},
};

INSTANTIATE_TEST_SUITE_P(Pages, PagePainterTest, ::testing::ValuesIn(kPages),
                         [](const ::testing::TestParamInfo<PageCase>& info) { return std::string(info.param.name); });

TEST_F(PageSideEffectsTest, LoadingLineIsDrawnOnceOverThePage)
{
    f.ui->SetPage(PageHome);
    f.ui->ShowLoading();
    const RecordingPainter::Call* call = f.window.painter.findText("loading...");
    ASSERT_NE(call, nullptr);
    EXPECT_EQ((std::vector<int>{call->x, call->y, call->font, call->red, call->green, call->blue}),
              (std::vector<int>{265, 170, 13, 136, 155, 175}));
    EXPECT_EQ(&f.window.painter.calls.back(), call) << "drawn after the page";
    EXPECT_FALSE(f.window.paintAll().contains("loading..."));
}

TEST_F(PageSideEffectsTest, FlyingWithPenaltiesOffRecordsTheEventOnce)
{
    f.ui->penaltiesOff = true;
    f.ui->SetPage(PageFlying);
    f.window.paintAll();
    const RecordingPainter& painted = f.window.paintAll();
    EXPECT_TRUE(painted.contains("- Penalties disabled"));
    EXPECT_EQ(f.ui->getBlackbox().getEventLog().size(), 1u) << "one event for two paints";
}

TEST_F(PageSideEffectsTest, AbortedFlightComparesTheAutosaveWithTheSimulator)
{
    CFlightSimulatorObjects saved;
    saved.dLatitude = 51.47;
    saved.dLongitude = -0.4543;
    saved.dAltitude = 3500.0;
    saved.lGroundSpeed = 250;
    saved.dHeading = 271.9;
    saved.fTankLevel[0] = 1000.0f;
    const AircraftData block = AircraftData::fromSnapshot(saved);
    const TankData tanks = TankData::fromSnapshot(saved);
    CIniParser& store = CIniParser::getInstance();
    store.writeReportStruct(&block, "Report", "AircraftData", sizeof block);
    store.writeReportStruct(&tanks, "Report", "TankData", sizeof tanks);
    f.sim->state.latitude = -33.9461;
    f.sim->state.longitude = 151.1772;
    f.sim->getEverything();
    f.sim->getAircraftTanks();
    f.ui->SetPage(PageAbortedFlight);
    const RecordingPainter& painted = f.window.paintAll();
    store.resetReport();

    EXPECT_TRUE(f.ui->isRedrawOnInput());
    const std::vector<Shown> table = {
        {"N  51 28.200", 285, 202, 8, kBlack},
        {"W   0 27.258", 285, 218, 8, kBlack},
        {"3500 ft  1066 m", 285, 234, 8, kBlack},
        {"2204 lb  1000 kg", 285, 250, 8, kBlack},
        {"328 gal 1274 L", 285, 266, 8, kBlack},
        {"250 kt", 285, 282, 8, kBlack},
        {"271", 285, 298, 8, kBlack},
        {"S  33 56.766", 415, 202, 8, kBlack},
        {"E 151 10.632", 415, 218, 8, kBlack},
        {"13227 lb  6000 kg", 415, 250, 8, kBlack},
    };
    for (const Shown& s : table) {
        const RecordingPainter::Call* call = painted.findText(s.text);
        ASSERT_NE(call, nullptr) << "missing: " << s.text;
        EXPECT_EQ(call->x, s.x) << s.text;
        EXPECT_EQ(call->y, s.y) << s.text;
    }
}

// Records as a broken service or store could leave them: no terminators,
// huge numbers, a NaN state. Every page still draws its title line.
TEST(PageRobustnessTest, EveryPageCopesWithGarbageRecordsAndNoSimulator)
{
    HeadlessWindow window;
    RecordingSoundOutput sounds;
    CUserInterface ui(window, sounds);
    window.setEvents(&ui);
    CClientInterface& c = ui.getClient();
    std::memset(&c.pilot, 'x', sizeof c.pilot);
    std::memset(&c.route, '9', sizeof c.route);
    std::memset(&c.flightLog, '9', sizeof c.flightLog);
    std::memset(&c.report, '9', sizeof c.report);
    std::memset(c.news.Text, 'n', sizeof c.news.Text);
    std::memset(c.versions, 'v', sizeof c.versions);
    c.aircraft.a_StateEng1 = std::numeric_limits<float>::quiet_NaN();
    c.aircraft.a_Fuel = std::numeric_limits<std::int32_t>::max();
    c.types.d_MLW = std::numeric_limits<std::int32_t>::min();
    ui.loggedIn = true;
    ui.weightUnit = WeightUnitLbs;
    for (int page = 0; page <= 19; ++page) {
        ui.SetPage(page);
        const RecordingPainter& painted = window.paintAll();
        EXPECT_TRUE(painted.contains("Client - v2.6.1.0")) << "page " << page;
    }
    window.setEvents(nullptr);
}

struct FormatCase {
    const char* budget;
    const char* shown;
};

class BudgetTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(BudgetTest, ShowsGroupsOrMillions)
{
    EXPECT_EQ(CDisplayFormat::budget(GetParam().budget), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Budgets, BudgetTest,
                         ::testing::Values(FormatCase{"1234567", "1,234,567 v$"}, FormatCase{"12345678", "12 mio v$"},
                                           FormatCase{"999", "999 v$"}, FormatCase{"1000", "1,000 v$"},
                                           FormatCase{"0", "0 v$"}, FormatCase{"", "0 v$"},
                                           FormatCase{"-123456", "-123,456 v$"}, FormatCase{"-12345678", "-12 mio v$"},
                                           FormatCase{"98765432109", "98765 mio v$"}));

TEST(DisplayFormatTest, UnitsAndCuts)
{
    EXPECT_EQ(CDisplayFormat(WeightUnitKg).mass(1000), "1000 kg");
    EXPECT_EQ(CDisplayFormat(WeightUnitLbs).mass(1000), "2204 lbs");
    EXPECT_EQ(CDisplayFormat(WeightUnitLbs).toKg(2205), 1000);
    EXPECT_EQ(CDisplayFormat(7).mass(1000), "1000 n/a");
    EXPECT_EQ(CDisplayFormat::cut13("Abcdefghijklmnopqrst"), "Abcdefghijklm.");
    EXPECT_EQ(CDisplayFormat::cut13("Abcdefghijklm"), "Abcdefghijklm");
    EXPECT_EQ(CDisplayFormat::cut13("Zo\u00eb \u00c5ngstr\u00f6m-\u00d8vergaard"), "Zo\u00eb \u00c5ngstr\u00f6m-.");
}

TEST(FlightInformationTest, CrewPositionTexts)
{
    const std::pair<const char*, const char*> seats[] = {
        {"jumpseat", "Jump Seat"}, {"crew", "Flight Crew"}, {"copilot", "Co-Pilot"}, {"cocaptain", "Co-Captain"},
        {"captain", "Captain"},    {"", "Captain"},         {"Copilot", "Captain"}};
    for (const auto& [crewType, shown] : seats)
        EXPECT_STREQ(CFlightPagePainter::crewPositionText(crewType), shown) << crewType;
}

} // namespace
