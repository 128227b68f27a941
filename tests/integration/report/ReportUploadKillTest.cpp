// A client killed while its report was being sent or right after the service
// accepted it: the next start finds a store that verifies and leads to the
// upload, never to the flight's autosave; what was still owed goes once each
// after a login, and the report is never stored twice.
#include "ServiceStore.h"
#include "platform/HttpClient.h"
#include "platform/SystemInfo.h"
#include "server/HttpTransport.h"
#include "support/ServiceProcess.h"
#include "support/StandaloneFlight.h"
#include "support/StoreFiles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <functional>
#include <set>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace {

pid_t startUploader(const std::string& folder, const ServiceProcess& service)
{
    const std::string program = QVL_BINARY_DIR "/tests/report_uploader";
    const std::string url = service.url();
    const std::string ca = service.caFile();
    std::vector<char*> argv{const_cast<char*>(program.c_str()), const_cast<char*>(folder.c_str()),
                            const_cast<char*>(url.c_str()), const_cast<char*>(ca.c_str()), nullptr};
    pid_t child = -1;
    if (::posix_spawn(&child, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    return child;
}

bool waitFor(const std::function<bool()>& condition, int timeoutMs)
{
    for (int waited = 0; waited < timeoutMs; waited += 50) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return condition();
}

// Where the child is held and killed: at the first position after the
// report, or while the report's answer is on its way (the service holds the
// report, the client never learnt it).
struct KillMoment {
    const char* name;
    const char* heldAt;
    bool answered;      // the client had the report's answer
    std::size_t events; // events the service holds in the end
};

class ReportUploadKill : public ::testing::TestWithParam<KillMoment> {};

TEST_P(ReportUploadKill, LosesNothingAndSendsNothingTwice)
{
    const KillMoment p = GetParam();
    ServiceProcess service(QVL_BINARY_DIR "/tools/qvl-service/qvl-service");
    ASSERT_TRUE(service.start());
    CServiceStore store;
    ASSERT_TRUE(store.open(service.databaseFile()));
    startWithEmptyStore();
    ASSERT_TRUE(service.setFault("delay", 60000, p.heldAt));
    const pid_t child = startUploader(systemInfo().userDataFolder(), service);
    ASSERT_GT(child, 0);
    const bool reached = waitFor([&] { return !store.received(p.heldAt).empty(); }, 30000);
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(reached) << "the child never got there";
    ASSERT_TRUE(waitFor([&] { return store.uploads("writereport").size() == 1u; }, 10000));
    ASSERT_TRUE(service.setFault("none"));

    // The next start, after the pilot's login.
    auto http = createPlatformHttpClient();
    setHttpClient(http.get());
    CTransportOptions options;
    options.caFile = service.caFile();
    CHttpTransport::setOptions(options);
    {
        StandaloneFlight f;
        EXPECT_TRUE(f.report.hasBackup());
        EXPECT_FALSE(f.report.hasContinue()) << "the autosave gave way to the report being sent";
        EXPECT_TRUE(f.report.verifyCheckCode()) << "the store would be taken for illegally modified";
        f.client.setServerUrl(service.url());
        ASSERT_EQ(f.client.login("demo", "demo123"), 0);
        ASSERT_EQ(f.report.hasPendingLogs(), p.answered);
        if (p.answered) {
            EXPECT_TRUE(f.report.sendPendingLogsFromStore());
        } else {
            // The backup page's upload, answered "ALREADY UPLOADED".
            ASSERT_TRUE(f.report.loadForUpload());
            EXPECT_TRUE(f.report.uploadReport(true));
        }
        EXPECT_TRUE(f.client.waitForBackgroundSends(10000));
        EXPECT_FALSE(f.report.hasBackup());
    }
    EXPECT_EQ(store.uploads("writereport").size(), 1u);
    EXPECT_EQ(store.uploads("writeeventlog").size(), p.events);
    std::set<std::string> positions;
    for (const auto& pos : store.uploads("writepositionlog"))
        positions.insert(pos.find("PositionId")->second);
    EXPECT_EQ(positions, (std::set<std::string>{"0", "1", "2"}));
    EXPECT_EQ(store.uploads("writepositionlog").size(), 3u);
    EXPECT_EQ(store.uploads("updateawards").size(), 1u);
    setHttpClient(nullptr);
    CHttpTransport::setOptions(CTransportOptions{});
    startWithEmptyStore();
}

INSTANTIATE_TEST_SUITE_P(Moments, ReportUploadKill,
                         ::testing::Values(KillMoment{"AtTheFirstPositionAfterTheReport", "writepositionlog", true, 2},
                                           // The events name their report only by its id, which was lost.
                                           KillMoment{"BeforeTheReportsAnswer", "writereport", false, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
