// Whole flights as the pilot clicks them, without a window: the headless
// window, qvl-service over TLS, and qvl-sim (in this process, stepped with
// the manual clock) over the module link. Login, Fly! on the home page, fuel,
// Fly! on the load sheet, the driver flies to the block, End flight, a
// comment, and the report pages; a report kept while the service is down and
// uploaded after a restart, which must equal the same flight's report sent at
// once; an aborted flight continued after the client was gone.
#include "../service/ServiceSuite.h"

#include "../fsuipc/LockstepSimulator.h"
#include "core/FixedText.h"
#include "monitor/FlightState.h"
#include "monitor/failures/RandomSource.h"
#include "report/IniParser.h"
#include "report/Report.h"
#include "server/Base64.h"
#include "sim/fsuipc/FlightSimulatorInterfaceUsingFsuipc.h"
#include "sim/fsuipc/FsuipcLink.h"
#include "support/FlightFixture.h"
#include "support/FsuipcTestDirectory.h"
#include "ui/ControlIds.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <set>
#include <string>

namespace {

using Upload = std::multimap<std::string, std::string>;

// Draws that never schedule a failure, so that every run flies the same flight.
class NoFailures final : public Failures::CRandomSource {
public:
    int nextInt() override { return 9998; }
};

std::string field(const std::multimap<std::string, std::string>& upload, const std::string& key)
{
    const auto it = upload.find(key);
    return it == upload.end() ? std::string("<missing>") : it->second;
}

class FlightThroughTheButtons : public ServiceSuite {
protected:
    void SetUp() override
    {
        ServiceSuite::SetUp();
        store->exec("DELETE FROM reports WHERE log_id = 9001");
        for (const char* kind : {"writereport", "writepositionlog", "writeeventlog", "writelog"})
            before[kind] = store->uploads(kind).size();
        startSimulator();
        startClient();
    }
    void TearDown() override { stopClient(); }

    // The scenario from its start, the aircraft at the gate.
    void startSimulator()
    {
        sim.reset();
        sim = std::make_unique<LockstepSimulator>(loadAirlineScenario());
        ASSERT_TRUE(sim->start(dir.path()));
    }

    // A client as the program starts it; a second one reads the store afresh.
    void startClient()
    {
        CClient::resetProcessValues();
        CIniParser::getInstance().reload();
        ui = std::make_unique<RecordingUserInterface>(window, sounds);
        ui->setRandomSource(std::make_unique<NoFailures>());
        ui->createControls();
        window.setEvents(ui.get());
        ui->trackerOn = true;
        ui->autosaveMode = 1;
        ui->getReport().setTrackerEnabled(true);
        ui->getClient().setServerUrl(service->url());
        ui->setSimulator(std::make_unique<CFlightSimulatorInterfaceUsingFsuipc>(ui->getClient()));
        client = std::make_unique<CClient>(*ui);
        ui->SetPage(PageLogin);
    }
    // The client is gone without a word: nothing is cleaned up.
    void stopClient()
    {
        window.setEvents(nullptr);
        client.reset();
        ui.reset();
        CFsuipcLink::instance().close();
    }

    void logIn(int expectedPage)
    {
        window.setControlText(IdEditUser, "demo");
        window.setControlText(IdEditPassword, "demo123");
        press(IdLogin);
        ASSERT_EQ(ui->getPage(), expectedPage) << "after the login";
    }

    // What the service received during this test.
    std::vector<Upload> received(const std::string& kind)
    {
        auto all = store->uploads(kind);
        all.erase(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(before[kind]));
        return all;
    }

    void press(int id)
    {
        ASSERT_TRUE(window.click(id)) << "control " << id << " is not there to press on page " << ui->getPage();
    }

    void tick()
    {
        sim->catchUp();
        client->tick();
    }
    template <class Pred> bool tickUntil(Pred done)
    {
        const std::int64_t end = clock->nowMs() + 2 * 3600 * 1000;
        while (clock->nowMs() < end && !done())
            tick();
        return done();
    }

    void takeOff()
    {
        press(IdFly);
        ASSERT_EQ(ui->getPage(), PageFuelTanks) << "the start checks failed";
        press(IdFuelUp);
        ASSERT_EQ(ui->getPage(), PageLoadSheet) << "the simulator did not take the fuel";
        press(IdFly);
        ASSERT_EQ(ui->getPage(), PageFlying);
    }

    void flyToTheComment()
    {
        ASSERT_TRUE(tickUntil([&] { return ui->getPage() != PageFlying; }));
        ASSERT_EQ(ui->getPage(), PageComment) << "the flight did not end on the block";
    }

    ScopedManualClock clock;
    CFsuipcTestDirectory dir;
    std::unique_ptr<LockstepSimulator> sim;
    HeadlessWindow window;
    RecordingSoundOutput sounds;
    std::unique_ptr<RecordingUserInterface> ui;
    std::unique_ptr<CClient> client;
    std::map<std::string, std::size_t> before;
};

TEST_F(FlightThroughTheButtons, TheServiceHoldsTheReportThePilotSaw)
{
    logIn(PageHome);
    takeOff();
    EXPECT_GT(ui->getSimulator()->lFuelAtStart, 6000);
    flyToTheComment();

    window.setControlText(IdEditComment, "Smooth ride, thanks ATC");
    press(IdEndFlight);
    ASSERT_EQ(ui->getPage(), PageReportRoute) << "the report was not uploaded";
    const Tervix_Reports shown = ui->getClient().report; // what the report pages show
    press(IdNext);
    EXPECT_EQ(ui->getPage(), PageReportFinances);
    press(IdNext);
    EXPECT_EQ(ui->presses(IdLogin), 2) << "the last report page logs the pilot in afresh";
    EXPECT_EQ(ui->getPage(), PageHome);

    const auto reports = received("writereport");
    ASSERT_EQ(reports.size(), 1u);
    const auto& r = reports[0];
    EXPECT_EQ(field(r, "VS"), std::to_string(shown.VS));
    EXPECT_NEAR(std::atoi(field(r, "VS").c_str()), -180, 40) << "the scenario's touchdown";
    EXPECT_EQ(field(r, "Rating"), fieldText(shown.Rating));
    EXPECT_EQ(field(r, "Ratingreasons"), fieldText(shown.Ratingreasons));
    EXPECT_EQ(field(r, "Profit"), std::to_string(shown.Profit));
    EXPECT_EQ(field(r, "Salary"), std::to_string(shown.Salary));
    EXPECT_EQ(field(r, "Fuel_Used"), fieldText(shown.Fuel_Used));
    EXPECT_EQ(field(r, "Arr"), "EDDM");
    EXPECT_EQ(field(r, "Interface"), "FSUIPC");
    EXPECT_EQ(field(r, "ManualUpload"), "0");
    char comment[kBase64Limit + 1];
    base64Encode(comment, "Smooth ride, thanks ATC");
    EXPECT_EQ(field(r, "Comment64"), comment);

    // Positions sent while flying and those queued until after the report:
    // every number once, none missing.
    std::set<int> numbers;
    for (const auto& p : received("writepositionlog"))
        EXPECT_TRUE(numbers.insert(std::atoi(field(p, "PositionId").c_str())).second) << "sent twice";
    ASSERT_GE(numbers.size(), 3u);
    EXPECT_EQ(*numbers.begin(), 0);
    EXPECT_EQ(*numbers.rbegin(), static_cast<int>(numbers.size()) - 1);
    const auto events = received("writeeventlog");
    ASSERT_FALSE(events.empty()) << "the blackbox recorded nothing";
    for (std::size_t i = 1; i < events.size(); ++i)
        EXPECT_LE(std::atoi(field(events[i - 1], "timestamp").c_str()),
                  std::atoi(field(events[i], "timestamp").c_str()));
    EXPECT_FALSE(received("writelog").empty()) << "the tracker followed the flight";
    EXPECT_FALSE(ui->getReport().hasBackup());
    EXPECT_FALSE(ui->getReport().hasContinue());
}

// The same flight twice: its report sent at the end, and then, the service
// being down at the end, backed up and sent from the backup page after the
// client was started again. The service must be credited the same.
TEST_F(FlightThroughTheButtons, AReportTheServiceRefusedIsUploadedFromTheBackupPage)
{
    logIn(PageHome);
    takeOff();
    flyToTheComment();
    window.setControlText(IdEditComment, "Twice the same");
    press(IdEndFlight);
    ASSERT_EQ(ui->getPage(), PageReportRoute) << "the report was not uploaded";

    // The booking, the aircraft and the airline as before the first flight.
    stopClient();
    ASSERT_TRUE(store->seedDemo()) << store->error();
    startSimulator();
    startClient();
    logIn(PageHome);
    takeOff();
    flyToTheComment();
    window.setControlText(IdEditComment, "Twice the same");
    ASSERT_TRUE(service->setFault("refuse"));
    ASSERT_TRUE(service->waitRefusing(5000));
    press(IdEndFlight);
    EXPECT_EQ(ui->getPage(), PageLogin) << "no report page without an upload";
    ASSERT_TRUE(ui->getReport().hasBackup());

    stopClient();
    ASSERT_TRUE(service->setFault("none"));
    ASSERT_TRUE(service->waitListening(5000));
    startClient();
    logIn(PageReportBackup);
    press(IdUploadReport);
    EXPECT_EQ(ui->getPage(), PageHome) << "uploaded, and the pilot logged in afresh";
    EXPECT_FALSE(ui->getReport().hasBackup());

    const auto reports = received("writereport");
    ASSERT_EQ(reports.size(), 2u);
    const Upload& atOnce = reports[0];
    const Upload& later = reports[1];
    EXPECT_EQ(field(atOnce, "ManualUpload"), "0");
    EXPECT_EQ(field(later, "ManualUpload"), "1");
    EXPECT_EQ(field(later, "Arr"), "EDDM");
    // Per request: its number, the login's token and the code; TS is the
    // service's clock at each flight's end.
    const std::set<std::string> mayDiffer = {"ManualUpload", "intern_ts", "QVL_TOKEN", "code", "TS"};
    std::set<std::string> keys;
    for (const Upload* upload : {&atOnce, &later})
        for (const auto& [key, value] : *upload)
            keys.insert(key);
    for (const std::string& key : keys) {
        if (mayDiffer.count(key) == 0) {
            EXPECT_EQ(field(later, key), field(atOnce, key)) << key;
        }
    }
}

TEST_F(FlightThroughTheButtons, AnAbortedFlightContinuesFromItsAutosave)
{
    logIn(PageHome);
    takeOff();
    ASSERT_TRUE(tickUntil([&] {
        return ui->getReport().hasContinue() && ui->getSimulator()->lFlightPhase == PhaseCruise;
    })) << "no autosave in cruise";
    stopClient();

    startClient();
    logIn(PageAbortedFlight);
    press(IdContinueFlight);
    ASSERT_EQ(ui->getPage(), PageFlying) << "the flight was not continued";
    flyToTheComment();
    press(IdEndFlight);
    ASSERT_EQ(ui->getPage(), PageReportRoute) << "the report was not uploaded";

    const auto reports = received("writereport");
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(field(reports[0], "Ratingreasons").find("Restored Flight"), std::string::npos)
        << field(reports[0], "Ratingreasons");
    EXPECT_EQ(field(reports[0], "Arr"), "EDDM");
}

} // namespace
