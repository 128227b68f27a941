// The finished report against a real qvl-service: a refused upload becomes a
// protected backup, and the pilot's later upload sends the report, then every
// queued position, every event and the awards call, and clears the backup.
#include "ServiceSuite.h"

#include "core/FixedText.h"
#include "monitor/blackbox/Blackbox.h"
#include "platform/headless/HeadlessWindow.h"
#include "platform/headless/RecordingSoundOutput.h"
#include "report/Report.h"
#include "server/LegacyResult.h"
#include "support/ScriptedSimulator.h"
#include "support/StoreFiles.h"
#include "ui/UserInterface.h"

#include <filesystem>

namespace {

class BackedUpReport : public ServiceSuite {};

// The functions the service received after the first `from` requests.
std::vector<CServiceStore::Received> uploadsSince(CServiceStore& store, std::size_t from)
{
    std::vector<CServiceStore::Received> out;
    const auto all = store.received();
    for (std::size_t i = from; i < all.size(); ++i) {
        const std::string& f = all[i].function;
        if (f == "writereport" || f == "writepositionlog" || f == "writeeventlog" || f == "updateawards")
            out.push_back(all[i]);
    }
    return out;
}

TEST_F(BackedUpReport, RefusedReportIsBackedUpAndTheManualUploadSendsEverythingInOrder)
{
    startWithEmptyStore();
    HeadlessWindow window;
    RecordingSoundOutput sounds;
    CUserInterface ui(window, sounds);
    CClientInterface& c = ui.getClient();
    c.setServerUrl(service->url());
    ASSERT_EQ(c.login("demo", "demo123"), 0);
    ASSERT_GE(c.getPilotData(), 0);
    ASSERT_EQ(c.getRoute(), LegacySuccess);
    auto owned = std::make_unique<ScriptedSimulator>(c);
    ScriptedSimulator& sim = *owned;
    ui.setSimulator(std::move(owned));
    sim.holdSnapshot = true;
    CReport& report = ui.getReport();
    report.setTrackerEnabled(false);

    // A flight with the tracker off: three queued positions and two events.
    for (int i = 0; i < 3; ++i) {
        sim.dFlightTime += 180.0;
        sim.dLatitude = 48.1 + 0.1 * i;
        sim.dLongitude = 11.5;
        report.recordPosition();
    }
    ui.getBlackbox().logEvent("Gear up", "");
    ui.getBlackbox().logEvent("Landing Lights on", "");
    report.evaluateFlight();

    ASSERT_TRUE(service->setFault("refuse"));
    ASSERT_TRUE(service->waitRefusing(5000));
    EXPECT_FALSE(report.uploadReport(false));
    CIniParser& settings = CIniParser::getInstance();
    EXPECT_EQ(settings.readConfigString("report", "Backup"), "1");
    EXPECT_EQ(settings.readConfigString("report", "Continue"), "0");
    EXPECT_EQ(settings.readConfigString("report", "Code").size(), 3u);
    EXPECT_TRUE(report.verifyCheckCode());

    ASSERT_TRUE(service->setFault("none"));
    ASSERT_TRUE(service->waitListening(5000));
    const std::size_t before = receivedCount();
    // The backup page's upload, with nothing of the flight left in memory.
    report.getPositionTracker().clear();
    ui.getBlackbox().resetAll();
    ASSERT_TRUE(ui.restoreForUpload());
    ASSERT_TRUE(report.uploadReport(true));
    ASSERT_TRUE(c.waitForBackgroundSends(10000));

    const auto sent = uploadsSince(*store, before);
    ASSERT_EQ(sent.size(), 7u);
    EXPECT_EQ(sent[0].function, "writereport");
    EXPECT_NE(sent[0].body.find("&ManualUpload=1&"), std::string::npos);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(sent[1 + i].function, "writepositionlog");
        EXPECT_NE(sent[1 + i].body.find("&PositionId=" + std::to_string(i) + "&"), std::string::npos)
            << sent[1 + i].body;
        EXPECT_NE(sent[1 + i].body.find("&ReportId=" + fieldText(c.report.ReportId) + "&"), std::string::npos);
    }
    EXPECT_EQ(sent[4].function, "writeeventlog");
    EXPECT_NE(sent[4].body.find("&text=Gear up&"), std::string::npos) << sent[4].body;
    EXPECT_EQ(sent[5].function, "writeeventlog");
    EXPECT_NE(sent[5].body.find("&text=Landing Lights on&"), std::string::npos) << sent[5].body;
    EXPECT_EQ(sent[6].function, "updateawards");

    for (const char* key : {"Backup", "Continue", "Code"})
        EXPECT_EQ(settings.readConfigString("report", key), "0") << key;
    EXPECT_EQ(std::filesystem::file_size(settings.getReportPath()), 0u);
    EXPECT_TRUE(ui.getBlackbox().getEventLog().empty());
    startWithEmptyStore();
}

} // namespace
