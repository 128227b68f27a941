// A whole booked flight with a rules file that asks for an event in every
// phase: qvl-sim flies it over the module link (in process, in lockstep with
// the manual clock), qvl-service holds the booking, and after the report the
// recorded events arrive on the service in order with their values.
#include "ServiceStore.h"
#include "core/ClientConfig.h"
#include "core/FixedText.h"
#include "integration/fsuipc/LockstepSimulator.h"
#include "monitor/FlightState.h"
#include "monitor/blackbox/Blackbox.h"
#include "monitor/failures/RandomSource.h"
#include "platform/HttpClient.h"
#include "report/IniParser.h"
#include "report/Report.h"
#include "server/ClientInterface.h"
#include "server/HttpTransport.h"
#include "server/LegacyResult.h"
#include "sim/fsuipc/FlightSimulatorInterfaceUsingFsuipc.h"
#include "sim/fsuipc/FsuipcLink.h"
#include "support/FlightFixture.h"
#include "support/FsuipcTestDirectory.h"
#include "support/ServiceProcess.h"
#include "ui/ControlIds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>

namespace {

const char* const kRules = R"(<blackbox>
  <startflight text='Flight started'/>
  <event var='destination' value='EDDM' flightstate='boarding' text='Boarding for EDDM'/>
  <event var='groundspeed' value='10' method='greater' flightstate='taxi' text='Taxiing'/>
  <event var='flightstate' value='2' text='Take-off'/>
  <event var='altitudestd' value='10000' method='greater' flightstate='climb' text='Passing 10000 ft'/>
  <event var='altitudestd' value='20000' method='greater' flightstate='cruise' text='Cruising'/>
  <event var='vs' value='-1000' method='less' flightstate='descent' text='Descending'/>
  <combination text='Gear down on approach'>
    <event var='gear' value='1' flightstate='descent'/>
    <event var='altitudeagl' value='6000' method='less'/>
  </combination>
  <event var='ias' value='1' method='greater' flightstate='landed' text='Landed' sound='snd_applause.wav'/>
</blackbox>)";

// Draws that never schedule a failure (the demo aircraft is worn).
class NoFailures final : public Failures::CRandomSource {
public:
    int nextInt() override { return 9998; }
};

class BlackboxFlightTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CClient::resetProcessValues();
        http = createPlatformHttpClient();
        setHttpClient(http.get());
        ASSERT_TRUE(service.start()) << "qvl-service did not start";
        ASSERT_TRUE(store.open(service.databaseFile()));
        CTransportOptions o;
        o.caFile = service.caFile();
        CHttpTransport::setOptions(o);
        std::ofstream(rulesPath) << kRules;
        ASSERT_TRUE(lockstep.start(dir.path()));
        ui = std::make_unique<RecordingUserInterface>(window, sounds);
        ui->setRandomSource(std::make_unique<NoFailures>());
        CClientInterface& c = ui->getClient();
        c.setServerUrl(service.url());
        ASSERT_EQ(c.login("demo", "demo123"), 0);
        ASSERT_GE(c.getPilotData(), 0);
        ASSERT_EQ(c.getRoute(), LegacySuccess);
        ui->setSimulator(std::make_unique<CFlightSimulatorInterfaceUsingFsuipc>(c));
        client = std::make_unique<CClient>(*ui);
    }
    void TearDown() override
    {
        client.reset();
        ui.reset();
        CFsuipcLink::instance().close();
        std::remove(rulesPath.c_str());
        CIniParser::destroyInstance();
        CHttpTransport::setOptions(CTransportOptions{});
        setHttpClient(nullptr);
    }

    void startFlight()
    {
        CFlightSimulatorInterface& fs = *ui->getSimulator();
        ui->ResetFlight();
        fs.getEverything();
        ASSERT_GT(fs.getAircraftTanks(), 0);
        ui->startFlightMonitoring();
        fs.lPassengers = 70;
        fs.lCargo = 1500;
        fs.lFuelAtStart = fs.fuelOnBoardRounded();
        fs.nMinFuel = -1;
        fs.lFlightTimeAtStart = static_cast<std::int32_t>(fs.dFlightTime);
        ui->getFlightState().setPhase(PhaseBoarding);
        ui->SetPage(PageFlying);
    }

    void flyToTheBlock()
    {
        const std::int64_t end = clock->nowMs() + 2 * 3600 * 1000;
        while (clock->nowMs() < end && ui->presses(IdEndFlight) == 0) {
            lockstep.catchUp();
            client->tick();
        }
    }

    // The finished report goes up; its upload sends the flight's events after it.
    bool uploadAfterFlight()
    {
        ui->getReport().evaluateFlight();
        return ui->getReport().uploadReport(false);
    }

    std::unique_ptr<HttpClient> http;
    ServiceProcess service{QVL_BINARY_DIR "/tools/qvl-service/qvl-service"};
    CServiceStore store;
    std::string rulesPath = CClientConfig::getInstance().getDataFolder() + "blackbox.xml";
    ScopedManualClock clock;
    CFsuipcTestDirectory dir;
    LockstepSimulator lockstep{loadAirlineScenario()};
    HeadlessWindow window;
    RecordingSoundOutput sounds;
    std::unique_ptr<RecordingUserInterface> ui;
    std::unique_ptr<CClient> client;
};

TEST_F(BlackboxFlightTest, EventsOfEveryPhaseArriveAfterTheReport)
{
    startFlight();
    flyToTheBlock();
    ASSERT_GT(ui->presses(IdEndFlight), 0) << "the driver never ended the flight";

    const std::vector<CEventRecord> recorded = ui->getBlackbox().getEventLog();
    // The rules' events, in the order the flight met them, each in its phase.
    const std::vector<std::pair<std::string, std::string>> expected{
        {"Flight started", "Boarding"}, {"Boarding for EDDM", "Boarding"},    {"Taxiing", "Taxi"},
        {"Take-off", "Take Off"},       {"Passing 10000 ft", "Climb"},        {"Cruising", "Cruise"},
        {"Descending", "Descent"},      {"Gear down on approach", "Descent"}, {"Landed", "Landed"}};
    std::vector<std::pair<std::string, std::string>> ruleEvents;
    for (const CEventRecord& r : recorded) {
        const std::string text = fieldText(r.text);
        if (std::any_of(expected.begin(), expected.end(), [&](const auto& e) { return e.first == text; }))
            ruleEvents.emplace_back(text, fieldText(r.phaseName));
    }
    EXPECT_EQ(ruleEvents, expected);
    EXPECT_NE(std::find(sounds.played.begin(), sounds.played.end(), "sound/snd_applause.wav"), sounds.played.end());

    const std::size_t before = store.received().size();
    ASSERT_TRUE(uploadAfterFlight()) << ui->getClient().getResultText();

    EXPECT_TRUE(ui->getBlackbox().getEventLog().empty()) << "the log is forgotten once sent";
    ui->getClient().waitForBackgroundSends(5000);
    std::vector<std::string> calls;
    for (const auto& r : store.received())
        calls.push_back(r.function);
    calls.erase(calls.begin(), calls.begin() + static_cast<std::ptrdiff_t>(before));
    const auto report = std::find(calls.begin(), calls.end(), "writereport");
    const auto firstEvent = std::find(calls.begin(), calls.end(), "writeeventlog");
    ASSERT_NE(report, calls.end());
    EXPECT_LT(report, firstEvent) << "events go up after the report";
    EXPECT_EQ(std::count(firstEvent, calls.end(), "writeeventlog"), static_cast<std::ptrdiff_t>(recorded.size()))
        << "one request per record, none before the report";
    const auto uploads = store.uploads("writeeventlog");
    ASSERT_EQ(uploads.size(), recorded.size());
    for (std::size_t i = 0; i < recorded.size(); ++i) {
        const auto& u = uploads[i];
        const CEventRecord& r = recorded[i];
        EXPECT_EQ(u.find("text")->second, fieldText(r.text)) << i;
        EXPECT_EQ(u.find("flightstate")->second, fieldText(r.phaseName)) << i;
        EXPECT_EQ(u.find("timestamp")->second, std::to_string(r.elapsedSeconds)) << i;
        EXPECT_EQ(u.find("speed")->second, std::to_string(r.airspeed)) << i;
        EXPECT_EQ(u.find("reportid")->second, fieldText(ui->getClient().report.ReportId)) << i;
    }
    // Flight time runs on through the log.
    EXPECT_LT(recorded.front().elapsedSeconds, recorded.back().elapsedSeconds);
}

} // namespace
