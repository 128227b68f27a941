// The finished report against a real qvl-service: a refused upload becomes a
// protected backup, and the pilot's later upload sends the report, then every
// queued position, every event and the awards call, and clears the backup.
// What the service did not acknowledge after the report stays in the store,
// and a report the service already holds is never sent twice.
#include "ServiceSuite.h"

#include "core/FixedText.h"
#include "monitor/FlightState.h"
#include "monitor/blackbox/Blackbox.h"
#include "platform/headless/HeadlessWindow.h"
#include "platform/headless/RecordingSoundOutput.h"
#include "report/Report.h"
#include "server/LegacyResult.h"
#include "support/LogCapture.h"
#include "support/ScriptedSimulator.h"
#include "support/StoreFiles.h"
#include "ui/UserInterface.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

namespace {

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

std::size_t countOf(const std::vector<CServiceStore::Received>& sent, const std::string& function)
{
    std::size_t n = 0;
    for (const auto& r : sent)
        n += r.function == function ? 1 : 0;
    return n;
}

class BackedUpReport : public ServiceSuite {
protected:
    BackedUpReport()
    {
        startWithEmptyStore();
        c.setServerUrl(service->url());
        for (const char* kind : {"writereport", "writepositionlog", "writeeventlog", "updateawards"})
            storedBefore[kind] = store->uploads(kind).size();
        requestsBefore = receivedCount();
    }

    // What the service stored of one kind during this test.
    std::vector<std::multimap<std::string, std::string>> stored(const std::string& kind)
    {
        auto all = store->uploads(kind);
        all.erase(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(std::min(storedBefore[kind], all.size())));
        return all;
    }
    // The functions of the requests the service received during this test.
    std::vector<std::string> requests()
    {
        std::vector<std::string> out;
        const auto all = store->received();
        for (std::size_t i = requestsBefore; i < all.size(); ++i)
            out.push_back(all[i].function);
        return out;
    }
    ~BackedUpReport() override { startWithEmptyStore(); }

    // A flight with the tracker off: three queued positions and two events.
    void flyAndFinish()
    {
        ASSERT_EQ(c.login("demo", "demo123"), 0);
        ASSERT_GE(c.getPilotData(), 0);
        ASSERT_EQ(c.getRoute(), LegacySuccess);
        auto owned = std::make_unique<ScriptedSimulator>(c);
        sim = owned.get();
        ui.setSimulator(std::move(owned));
        sim->holdSnapshot = true;
        report.setTrackerEnabled(false);
        for (int i = 0; i < 3; ++i) {
            sim->dFlightTime += 180.0;
            sim->dLatitude = 48.1 + 0.1 * i;
            sim->dLongitude = 11.5;
            report.recordPosition();
        }
        ui.getBlackbox().logEvent("Gear up", "");
        ui.getBlackbox().logEvent("Landing Lights on", "");
        report.evaluateFlight();
        before = receivedCount();
    }

    void expectBackupKept()
    {
        EXPECT_EQ(settings().readConfigString("report", "Backup"), "1");
        EXPECT_EQ(settings().readConfigString("report", "Continue"), "0");
        EXPECT_EQ(settings().readConfigString("report", "Code").size(), 3u);
        EXPECT_TRUE(report.verifyCheckCode());
    }

    void expectNothingPending()
    {
        for (const char* key : {"Backup", "Continue", "Code"})
            EXPECT_EQ(settings().readConfigString("report", key), "0") << key;
        EXPECT_EQ(std::filesystem::file_size(settings().getReportPath()), 0u);
    }

    // The pilot's upload from the backup page, with nothing of the flight in memory.
    bool uploadFromTheBackupPage()
    {
        report.getPositionTracker().clear();
        ui.getBlackbox().resetAll();
        EXPECT_TRUE(report.loadForUpload());
        if (!report.isReportUploaded() && !ui.restoreForUpload())
            return false;
        return report.uploadReport(true);
    }

    HeadlessWindow window;
    RecordingSoundOutput sounds;
    CUserInterface ui{window, sounds};
    CClientInterface& c = ui.getClient();
    CReport& report = ui.getReport();
    static CIniParser& settings() { return CIniParser::getInstance(); }
    ScriptedSimulator* sim = nullptr;
    std::size_t before = 0;
    std::map<std::string, std::size_t> storedBefore;
    std::size_t requestsBefore = 0;
};

TEST_F(BackedUpReport, RefusedReportIsBackedUpAndTheManualUploadSendsEverythingInOrder)
{
    flyAndFinish();
    ASSERT_TRUE(service->setFault("refuse"));
    ASSERT_TRUE(service->waitRefusing(5000));
    EXPECT_FALSE(report.uploadReport(false));
    expectBackupKept();

    ASSERT_TRUE(service->setFault("none"));
    ASSERT_TRUE(service->waitListening(5000));
    const std::size_t start = receivedCount();
    ASSERT_TRUE(uploadFromTheBackupPage());
    ASSERT_TRUE(c.waitForBackgroundSends(10000));

    const auto sent = uploadsSince(*store, start);
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
    expectNothingPending();
    EXPECT_TRUE(ui.getBlackbox().getEventLog().empty());
}

// What a reachable service may answer the report with. A refusal keeps the
// backup; an answer that is merely huge still delivers the report.
struct ReportAnswer {
    const char* mode;
    unsigned number;
    bool accepted;
};

class ReportAnswerTest : public BackedUpReport, public ::testing::WithParamInterface<ReportAnswer> {};

TEST_P(ReportAnswerTest, RefusalKeepsBackupOneThatVerifies)
{
    flyAndFinish();
    ASSERT_TRUE(service->setFault(GetParam().mode, GetParam().number, "writereport"));
    EXPECT_EQ(report.uploadReport(false), GetParam().accepted);
    ASSERT_TRUE(c.waitForBackgroundSends(10000));
    if (GetParam().accepted) {
        expectNothingPending();
        EXPECT_EQ(countOf(uploadsSince(*store, before), "writeeventlog"), 2u);
    } else {
        expectBackupKept();
        EXPECT_EQ(countOf(uploadsSince(*store, before), "writeeventlog"), 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(Answers, ReportAnswerTest,
                         ::testing::Values(ReportAnswer{"word", LegacyWrongCode, false},
                                           ReportAnswer{"status", 500, false}, ReportAnswer{"status", 302, false},
                                           ReportAnswer{"closed", 0, false}, ReportAnswer{"huge", 300, true}),
                         [](const auto& info) {
                             return std::string(info.param.mode) + std::to_string(info.param.number);
                         });

// The service stored the report but its answer was lost: the next upload is
// answered "ALREADY UPLOADED", which means the report is there. Its id never
// reached the client: the positions still go with their flight log, the
// events, which only the report's id would attribute, are dropped and said.
TEST_F(BackedUpReport, LostAcknowledgementClearsTheBackupAndTheLogsArrive)
{
    LogCapture logs;
    flyAndFinish();
    ASSERT_TRUE(service->setFault("lost", 0, "writereport"));
    EXPECT_FALSE(report.uploadReport(false));
    expectBackupKept();
    ASSERT_TRUE(service->setFault("none"));
    EXPECT_TRUE(uploadFromTheBackupPage());
    ASSERT_TRUE(c.waitForBackgroundSends(10000));
    const auto sent = uploadsSince(*store, before);
    EXPECT_EQ(store->uploads("writereport").size(), 1u) << "the service keeps one report per flight log";
    EXPECT_EQ(countOf(sent, "writepositionlog"), 3u);
    for (const auto& fields : stored("writepositionlog")) {
        EXPECT_EQ(fields.find("LogId")->second, "9001");
        EXPECT_EQ(fields.find("ReportId")->second, "") << "never an id that is not this report's";
    }
    EXPECT_EQ(countOf(sent, "writeeventlog"), 0u);
    EXPECT_TRUE(logs.contains("2 events dropped"));
    EXPECT_EQ(countOf(sent, "updateawards"), 1u);
    expectNothingPending();
}

// What the service does to the logs that follow an accepted report. A log it
// could not be reached for waits in the store (marked uploaded) and goes at
// the next login, the awards call last; one it stored but whose answer was
// lost is sent again and kept once; one it refused for good is dropped.
struct LogFault {
    const char* name;
    const char* mode;
    unsigned number;
    const char* functions;
    bool pending;          // something waits for the next login
    std::size_t sentFirst; // requests of `functions` sent with the report
    std::size_t events;    // events the service holds in the end
    std::size_t awards;    // awards calls the service holds (it has no number to tell a repeat by)
};

class PendingLogs : public BackedUpReport, public ::testing::WithParamInterface<LogFault> {};

TEST_P(PendingLogs, WaitForTheNextLoginAndArriveOnce)
{
    const LogFault p = GetParam();
    LogCapture logs;
    flyAndFinish();
    // The stored flight ended on block after a crash, high and away from its start.
    sim->lFlightPhase = PhaseOnBlock;
    sim->lCrashed = 1;
    sim->lLeftStartArea = 1;
    sim->lAbove500Reported = 1;
    ASSERT_TRUE(service->setFault(p.mode, p.number, p.functions));
    EXPECT_TRUE(report.uploadReport(false)) << "the report itself is in";
    EXPECT_EQ(report.hasPendingLogs(), p.pending);
    std::size_t sentFirst = 0;
    for (const std::string& function : requests())
        sentFirst += function == p.functions ? 1 : 0;
    EXPECT_EQ(sentFirst, p.sentFirst) << "sending stops at the first failure";
    EXPECT_EQ(logs.contains("it is dropped"), !p.pending);

    // The next start of the client, after a login.
    ASSERT_TRUE(service->setFault("none"));
    CIniParser::destroyInstance();
    ui.ResetFlight();
    if (p.pending) {
        ASSERT_EQ(settings().readConfigInt("report", "Backup"), 1);
        EXPECT_TRUE(report.hasPendingLogs());
        EXPECT_TRUE(report.sendPendingLogsFromStore());
    }
    EXPECT_FALSE(report.hasPendingLogs());
    EXPECT_EQ(stored("writereport").size(), 1u);
    std::set<std::string> positions;
    for (const auto& fields : stored("writepositionlog"))
        positions.insert(fields.find("PositionId")->second);
    EXPECT_EQ(positions.size(), 3u);
    EXPECT_EQ(stored("writepositionlog").size(), 3u) << "each position once";
    EXPECT_EQ(stored("writeeventlog").size(), p.events);
    EXPECT_EQ(stored("updateawards").size(), p.awards);
    ASSERT_FALSE(requests().empty());
    EXPECT_EQ(requests().back(), "updateawards") << "the awards call last";
    for (const char* key : {"Backup", "Continue", "Code"})
        EXPECT_EQ(settings().readConfigString("report", key), "0") << key;
    // The earlier report's logs left the pilot's next flight as it was.
    EXPECT_EQ(sim->lFlightPhase, PhaseBoarding);
    EXPECT_EQ(sim->lCrashed, 0);
    EXPECT_EQ(sim->lLeftStartArea, 0);
    EXPECT_EQ(sim->lAbove500Reported, 0);
    EXPECT_EQ(fieldText(c.report.ReportId), "");
    EXPECT_FALSE(report.isReportUploaded());
}

INSTANTIATE_TEST_SUITE_P(Faults, PendingLogs,
                         // The service's faults answer after the request was carried out.
                         ::testing::Values(LogFault{"EventUnreachable", "status", 503, "writeeventlog", true, 1, 2, 1},
                                           LogFault{"PositionAnswerLost", "lost", 0, "writepositionlog", true, 1, 2, 1},
                                           LogFault{"EventAnswerLost", "lost", 0, "writeeventlog", true, 1, 2, 1},
                                           LogFault{"AwardsUnreachable", "status", 503, "updateawards", true, 1, 2, 2},
                                           LogFault{"EventRefused", "word", LegacyNoLog, "writeeventlog", false, 2, 2,
                                                    1}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
