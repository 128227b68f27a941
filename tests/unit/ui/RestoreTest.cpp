// The two restore actions: resuming an aborted flight only when the simulator
// matches its autosave, and re-loading a backed-up report for its upload; a
// backup is never lost because the service could not be reached.
#include "core/FixedText.h"
#include "report/Report.h"
#include "server/ClientInterface.h"
#include "support/FlightFixture.h"
#include "support/ScriptedService.h"
#include "support/StoreFiles.h"
#include "ui/ControlIds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>

namespace {

constexpr double kLat = 50.0, kLon = 5.0, kAltitude = 20000.0;

class RestoreFixture {
public:
    RestoreFixture()
    {
        startWithEmptyStore();
        f.startFlying();
        SimState& s = f.sim->state;
        s.latitude = kLat;
        s.longitude = kLon;
        s.altitude = kAltitude;
        s.groundElevation = 0.0;
        s.onGround = false;
        s.groundSpeed = 0;
        f.sim->getEverything();
        f.sim->getAircraftTanks();
        client().report.departSeconds = f.sim->dFlightTime - 600.0;
        booked("991", "EDDF");
        f.ui->SetPage(PageAbortedFlight);
        f.ui->autosaveMode = 1;
    }
    ~RestoreFixture() { startWithEmptyStore(); }

    void booked(const char* logId, const char* arrival)
    {
        service.answer(
            "getroute",
            ScriptedService::table({{"l_ID", logId}, {"l_Arrival", arrival}, {"r_Arr", "EDDF"}, {"d_Engines", "2"}}));
    }
    CClientInterface& client() { return f.ui->getClient(); }
    CReport& report() { return f.ui->getReport(); }

    ScriptedService service;
    FlightFixture f;
};

struct ContinueCase {
    const char* name;
    std::function<void(SimState&)> change;
    const char* arrival;
    const char* flags; // empty: the flight goes on
    const char* line;
};

class ContinueTest : public ::testing::TestWithParam<ContinueCase> {};

TEST_P(ContinueTest, EachFlagByItsConditionOnly)
{
    const ContinueCase& c = GetParam();
    RestoreFixture r;
    ASSERT_TRUE(r.report().saveBackup(true));
    r.booked("991", c.arrival);
    c.change(r.f.sim->state);
    const bool continued = r.f.ui->continueFlight();
    if (*c.flags == '\0') {
        EXPECT_TRUE(continued);
        EXPECT_TRUE(r.f.window.boxes.empty());
        EXPECT_EQ(r.f.ui->getPage(), PageFlying);
        EXPECT_TRUE(r.report().hasPenalty(ItemRestoredFlight));
        // Backed up again at once, with the restore noted.
        EXPECT_TRUE(r.report().hasContinue());
        EXPECT_TRUE(r.report().verifyCheckCode());
        EXPECT_NE(readWholeFile(CIniParser::getInstance().getReportPath()).find("struct_penalty18 = 01"),
                  std::string::npos);
        EXPECT_EQ(r.f.sim->nMinFuel, -1) << "the first poll must not look like refuelling";
        EXPECT_DOUBLE_EQ(r.f.sim->dStartLatitude, r.f.sim->dLatitude);
        EXPECT_NEAR(r.client().report.departSeconds, r.f.sim->dFlightTime - 600.0, 1e-6);
        return;
    }
    EXPECT_FALSE(continued);
    ASSERT_EQ(r.f.window.boxes.size(), 1u);
    EXPECT_EQ(r.f.window.boxes[0].title, "Restore not allowed!");
    EXPECT_EQ(r.f.window.boxes[0].text,
              std::string("The current flight does not match the backup data. (") + c.flags + ")");
    EXPECT_TRUE(r.f.logs.contains(c.line));
    EXPECT_TRUE(r.report().hasContinue()) << "the autosave stays for another try";
    EXPECT_NE(r.f.ui->getPage(), PageFlying);
}

void none(SimState&) {}

INSTANTIATE_TEST_SUITE_P(
    Table, ContinueTest,
    ::testing::Values(
        ContinueCase{"Matches", none, "EDDF", "", ""},
        ContinueCase{"FewerEngines", [](SimState& s) { s.engines = 1; }, "EDDF", "1", "Engine count missmatch"},
        ContinueCase{"MoreEngines", [](SimState& s) { s.engines = 3; }, "EDDF", "", ""},
        ContinueCase{"Moved30nm", [](SimState& s) { s.latitude += 0.5; }, "EDDF", "2", "Restore Error distance"},
        ContinueCase{"Moved20nm", [](SimState& s) { s.latitude += 1.0 / 3.0; }, "EDDF", "", ""},
        ContinueCase{"Climbed1001ft", [](SimState& s) { s.altitude += 1001; }, "EDDF", "4", "Restore Error altitude"},
        ContinueCase{"Climbed999ft", [](SimState& s) { s.altitude -= 999; }, "EDDF", "", ""},
        ContinueCase{"FuelAbove110Percent",
                     [](SimState& s) {
                         s.tankLevel[0] = 8000;
                         s.tankLevel[1] = s.tankLevel[2] = 8500;
                     },
                     "EDDF", "8", "Restore Error fuel"},
        ContinueCase{"FuelBelow110Percent",
                     [](SimState& s) {
                         s.tankLevel[0] = 8000;
                         s.tankLevel[1] = s.tankLevel[2] = 8400;
                     },
                     "EDDF", "", ""},
        ContinueCase{"FuelWithoutTankCapacity",
                     [](SimState& s) {
                         s.tankLevel[1] += 10;
                         std::fill(std::begin(s.tankCapacity), std::end(s.tankCapacity), 0.0f);
                     },
                     "EDDF", "8", "Restore Error fuel"},
        ContinueCase{"EmptyWeight201", [](SimState& s) { s.emptyWeight += 201; }, "EDDF", "10", "Restore Error DOW"},
        ContinueCase{"EmptyWeight200", [](SimState& s) { s.emptyWeight -= 200; }, "EDDF", "", ""},
        ContinueCase{"MaxWeight301Less", [](SimState& s) { s.maxGrossWeight -= 301; }, "EDDF", "20",
                     "Restore Error MLW"},
        ContinueCase{"MaxWeight300Less", [](SimState& s) { s.maxGrossWeight -= 300; }, "EDDF", "", ""},
        ContinueCase{"MaxWeightMore", [](SimState& s) { s.maxGrossWeight += 5000; }, "EDDF", "", ""},
        ContinueCase{"OtherArrival", none, "EDDM", "40", "Restore Error arrival (EDDF)(EDDM)"},
        ContinueCase{"TwoFlags",
                     [](SimState& s) {
                         s.latitude += 1.0;
                         s.altitude += 5000;
                     },
                     "EDDF", "6", "Restore Error altitude"}),
    [](const auto& info) { return std::string(info.param.name); });

struct RefusalCase {
    const char* name;
    bool upload; // restoreForUpload, else continueFlight
    bool serviceDown;
    const char* logId;
    bool noPosition;
    const char* title;
    const char* text;
    bool backupKept;
};

class RestoreRefusalTest : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(RestoreRefusalTest, MessageAndWhatBecomesOfTheBackup)
{
    const RefusalCase& c = GetParam();
    RestoreFixture r;
    ASSERT_TRUE(r.report().saveBackup(!c.upload));
    r.booked(c.logId, "EDDF");
    r.service.setRefusing(c.serviceDown);
    if (c.noPosition)
        r.f.sim->state.latitude = r.f.sim->state.longitude = 0.0;
    const bool ok = c.upload ? r.f.ui->restoreForUpload() : r.f.ui->continueFlight();
    EXPECT_FALSE(ok);
    ASSERT_EQ(r.f.window.boxes.size(), 1u);
    EXPECT_EQ(r.f.window.boxes[0].title, c.title);
    EXPECT_EQ(r.f.window.boxes[0].text, c.text);
    EXPECT_EQ(c.upload ? r.report().hasBackup() : r.report().hasContinue(), c.backupKept);
    EXPECT_EQ(r.report().verifyCheckCode(), c.backupKept);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RestoreRefusalTest,
    ::testing::Values(
        RefusalCase{"UploadServiceDown", true, true, "991", false, "Restore not allowed!",
                    "Unable to read route data from server.", true},
        RefusalCase{"UploadNotBooked", true, false, "0", false, "Restore not allowed!", "No flight booked", false},
        RefusalCase{"ContinueServiceDown", false, true, "991", false, "Restore not allowed!",
                    "Unable to read route data from server.", true},
        RefusalCase{"ContinueNotBooked", false, false, "", false, "Restore not allowed!", "No flight booked", true},
        RefusalCase{"ContinueNoPosition", false, false, "991", true, "Try again!",
                    "Unable to read position from sim, unpause and pause to try again.", true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RestoreForUpload, KeepsTheBackupsReferenceValues)
{
    RestoreFixture r;
    // What the evaluation at the flight's end left in the report and records.
    CClientInterface& c = r.client();
    c.report.Profit = 14345;
    c.report.Crew = 275;
    c.report.landing_fee = 663;
    c.airline.v_Reputation = 1;
    c.aircraft.a_StateGear = 87.5f;
    c.aircraft.arrivalFuel = 4938;
    ASSERT_TRUE(r.report().saveBackup(false));
    r.f.ui->ResetFlight();
    // The booking as the service holds it now, before the report.
    r.service.answer("getroute", ScriptedService::table({{"l_ID", "991"},
                                                         {"l_Arrival", "EDDF"},
                                                         {"d_Engines", "2"},
                                                         {"v_Reputation", "50"},
                                                         {"a_StateGear", "88"}}));
    ASSERT_TRUE(r.f.ui->restoreForUpload());
    EXPECT_TRUE(r.f.window.boxes.empty());
    EXPECT_EQ(c.report.Profit, 14345) << "a finished report is not evaluated again";
    EXPECT_EQ(c.report.Crew, 275);
    EXPECT_EQ(c.report.landing_fee, 663);
    EXPECT_EQ(c.airline.v_Reputation, 1) << "the fetched booking overwrote the evaluated records";
    EXPECT_FLOAT_EQ(c.aircraft.a_StateGear, 87.5f);
    EXPECT_EQ(c.aircraft.arrivalFuel, 4938);
    EXPECT_EQ(c.types.d_Engines, 2) << "the type data of the fetch stay";
    const CUserInterface::RestoreReference& ref = r.f.ui->getRestoreReference();
    EXPECT_DOUBLE_EQ(ref.latitude, kLat);
    EXPECT_DOUBLE_EQ(ref.longitude, kLon);
    EXPECT_DOUBLE_EQ(ref.altitude, kAltitude);
    EXPECT_EQ(ref.totalFuel, 6000);
    EXPECT_TRUE(r.report().hasBackup()) << "the upload that follows clears it";
}

} // namespace
