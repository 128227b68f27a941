// A whole flight as the pilot clicks it, without a window: the headless
// window, qvl-service over TLS, and qvl-sim (in this process, stepped with
// the manual clock) over the module link. Login and Fly! on the home page,
// fuel, Fly! on the load sheet, the driver flies to the block, End flight,
// a comment, and the report pages.
#include "../service/ServiceSuite.h"

#include "Simulator.h"
#include "core/FixedText.h"
#include "report/Report.h"
#include "server/Base64.h"
#include "sim/fsuipc/FlightSimulatorInterfaceUsingFsuipc.h"
#include "sim/fsuipc/FsuipcLink.h"
#include "support/FlightFixture.h"
#include "support/FsuipcTestDirectory.h"
#include "ui/ControlIds.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

SimScenario airline()
{
    SimScenario s;
    std::string error;
    EXPECT_TRUE(SimScenario::load(std::string(QVL_SIM_SCENARIO_DIR) + "/airline_eddf_eddm.json", s, error)) << error;
    return s;
}

// The controls the pilot touches on the way.
void createControls(HeadlessWindow& w)
{
    for (int id : {int(IdFly), int(IdFuelUp), int(IdEndFlight), int(IdNext), int(IdDivert), int(IdHighSpeedApproved)})
        w.createControl({ControlKind::Button, id, "", 0, 0, 10, 10, StyleVisible});
    for (int id = IdTankMainLeft; id <= IdTankExternal2; ++id)
        w.createControl({ControlKind::Edit, id, "", 0, 0, 10, 10, StyleNone});
    w.createControl({ControlKind::Edit, IdEditComment, "", 0, 0, 10, 10, StyleNone});
    w.createControl({ControlKind::CheckBox, IdCheckDeliverPackages, "", 0, 0, 10, 10, StyleNone});
}

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
        CClient::resetProcessValues();
        ASSERT_TRUE(sim.startServer("UIPCMAIN", dir.path()));
        createControls(window);
        ui = std::make_unique<RecordingUserInterface>(window, sounds);
        window.setEvents(ui.get());
        ui->trackerOn = true;
        ui->getReport().setTrackerEnabled(true);
        ui->setSimulator(std::make_unique<CFlightSimulatorInterfaceUsingFsuipc>(ui->getClient()));
        client = std::make_unique<CClient>(*ui);
    }
    void TearDown() override
    {
        client.reset();
        ui.reset();
        CFsuipcLink::instance().close();
    }

    // The pilot's login. MERGE(login action): type name and password and press "Login".
    void logIn()
    {
        CClientInterface& c = ui->getClient();
        c.setServerUrl(service->url());
        ASSERT_EQ(c.login("demo", "demo123"), 0);
        ASSERT_GE(c.getPilotData(), 0);
        ui->SetPage(PageHome);
    }

    void press(int id)
    {
        ASSERT_TRUE(window.click(id)) << "control " << id << " is not there to press on page " << ui->getPage();
    }

    void tick()
    {
        const std::int64_t now = clock->nowMs();
        sim.advance(static_cast<double>(now - simulatedMs) / 1000.0);
        simulatedMs = now;
        client->tick();
    }

    ScopedManualClock clock;
    CFsuipcTestDirectory dir;
    CSimulator sim{airline()};
    std::int64_t simulatedMs = clock->nowMs();
    HeadlessWindow window;
    RecordingSoundOutput sounds;
    std::unique_ptr<RecordingUserInterface> ui;
    std::unique_ptr<CClient> client;
};

TEST_F(FlightThroughTheButtons, TheServiceHoldsTheReportThePilotSaw)
{
    logIn();
    press(IdFly);
    ASSERT_EQ(ui->getPage(), PageFuelTanks) << "the start checks failed";
    press(IdFuelUp);
    ASSERT_EQ(ui->getPage(), PageLoadSheet) << "the simulator did not take the fuel";
    press(IdFly);
    ASSERT_EQ(ui->getPage(), PageFlying);
    CFlightSimulatorInterface& fs = *ui->getSimulator();
    EXPECT_GT(fs.lFuelAtStart, 6000);

    const std::int64_t end = clock->nowMs() + 2 * 3600 * 1000;
    while (clock->nowMs() < end && ui->getPage() == PageFlying)
        tick();
    ASSERT_EQ(ui->getPage(), PageComment) << "the flight did not end on the block";

    window.setControlText(IdEditComment, "Smooth ride, thanks ATC");
    press(IdEndFlight);
    ASSERT_EQ(ui->getPage(), PageReportRoute) << "the report was not uploaded";
    const Tervix_Reports shown = ui->getClient().report; // what the report pages show
    press(IdNext);
    EXPECT_EQ(ui->getPage(), PageReportFinances);
    press(IdNext);
    EXPECT_EQ(ui->presses(IdLogin), 1) << "the last report page logs the pilot in afresh";

    const auto reports = store->uploads("writereport");
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
    char comment[kBase64Limit + 1];
    base64Encode(comment, "Smooth ride, thanks ATC");
    EXPECT_EQ(field(r, "Comment64"), comment);

    const auto positions = store->uploads("writepositionlog");
    ASSERT_GE(positions.size(), 3u);
    for (std::size_t i = 1; i < positions.size(); ++i)
        EXPECT_LT(std::atoi(field(positions[i - 1], "PositionId").c_str()),
                  std::atoi(field(positions[i], "PositionId").c_str()));
    EXPECT_FALSE(store->uploads("writelog").empty()) << "the tracker followed the flight";
}

} // namespace
