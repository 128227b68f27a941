// The update download from "Update now!" to the started installer, over a
// scripted downloader: version choice, a missing file, and an abort while
// the transfer crawls.
#include "update/AutoUpdate.h"
#include "core/ClientConfig.h"
#include "core/FixedText.h"
#include "core/Utf8Path.h"
#include "platform/Downloader.h"
#include "platform/headless/RecordingProcessLauncher.h"
#include "server/ClientInterface.h"
#include "support/FlightFixture.h"
#include "ui/ControlIds.h"
#include "ui/FlightActions.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

// Answers like the service would: a file for the known versions, a failure
// for any other; `crawl` keeps a transfer going until the progress stops it.
class ScriptedDownloader final : public Downloader {
public:
    DownloadResult download(const DownloadRequest& request, DownloadProgress& progress) override
    {
        url = request.url;
        DownloadResult r;
        if (crawl) {
            transferring = true;
            for (std::uint64_t got = 0; progress.onProgress(got, 1 << 20); got += 1)
                std::this_thread::yield();
            r.aborted = true;
            r.errorText = "aborted";
            return r;
        }
        if (request.url.find(available) == std::string::npos) {
            r.status = 404;
            r.errorText = "HTTP status 404";
            return r;
        }
        progress.onProgress(512, 1024);
        std::ofstream(request.file) << "installer";
        progress.onProgress(1024, 1024);
        r.ok = true;
        r.status = 200;
        return r;
    }

    std::string available = "QuenvaleSetup-v2.7.0.0";
    bool crawl = false;
    std::atomic<bool> transferring{false};
    std::string url;
};

struct UpdateTest : ::testing::Test {
    UpdateTest()
    {
        setDownloader(&downloader);
        setProcessLauncher(&launcher);
        f.ui->SetPage(PageWrongVersion);
    }
    ~UpdateTest() override
    {
        update().stop();
        setDownloader(nullptr);
        setProcessLauncher(nullptr);
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }

    AutoUpdate::CAutoUpdate& update() { return f.ui->getFlightActions().getAutoUpdate(); }

    void serviceVersions(const char* version, const char* beta)
    {
        CClientInterface& c = f.ui->getClient();
        copyText(c.versions[CClientInterface::VersionClient], version);
        copyText(c.versions[CClientInterface::VersionBeta], beta);
    }

    // The download thread's end, as the user-interface thread sees it.
    void waitForOutcome()
    {
        while (update().isRunning() && f.window.boxes.empty() && !f.window.isClosed()) {
            update().deliver();
            std::this_thread::yield();
        }
    }

    FlightFixture f;
    ScriptedDownloader downloader;
    RecordingProcessLauncher launcher;
    // The pilot's own folder: the program's may be writable only by administrators.
    std::filesystem::path folder = utf8Path(CClientConfig::getInstance().getDataFolder()) / "updates";
};

struct VersionCase {
    const char* version;
    const char* beta;
    const char* fetched;
};

struct UpdateVersion : UpdateTest, ::testing::WithParamInterface<VersionCase> {};

TEST_P(UpdateVersion, CompleteDownloadStartsTheInstallerAndClosesTheClient)
{
    const VersionCase p = GetParam();
    serviceVersions(p.version, p.beta);
    downloader.available = std::string("QuenvaleSetup-") + p.fetched;
    f.ui->OnButton(IdUpdateNow);
    EXPECT_EQ(f.ui->getPage(), PageDownload);
    waitForOutcome();
    update().deliver();

    const std::string file = (folder / (std::string("QuenvaleSetup-") + p.fetched + ".deb")).string();
    EXPECT_EQ(downloader.url,
              std::string("https://www.quenvale.example/downloads/QuenvaleSetup-") + p.fetched + ".deb");
    ASSERT_EQ(launcher.startedFiles().size(), 1u);
    EXPECT_EQ(std::filesystem::path(launcher.startedFiles()[0]), std::filesystem::path(file));
    EXPECT_TRUE(std::filesystem::exists(file));
    EXPECT_TRUE(f.window.isClosed());
    EXPECT_TRUE(f.window.boxes.empty());
    EXPECT_DOUBLE_EQ(f.window.findControl(IdProgress)->progress, 1.0);
}

INSTANTIATE_TEST_SUITE_P(Table, UpdateVersion,
                         ::testing::Values(VersionCase{"v2.7.0.0", "v2.7.1.0", "v2.7.0.0"},  // older than both
                                           VersionCase{"v2.6.0.0", "v2.6.2.0", "v2.6.2.0"}), // beta one behind
                         [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST_F(UpdateTest, MissingFileShowsDownloadErrorAndStartsNothing)
{
    serviceVersions("v2.9.0.0", "v2.9.0.0");
    f.ui->OnButton(IdUpdateNow);
    waitForOutcome();
    ASSERT_EQ(f.window.boxes.size(), 1u);
    EXPECT_EQ(f.window.boxes[0].title, "Download Error");
    EXPECT_EQ(f.window.boxes[0].text,
              "Error: Unable to download new Client!\nPlease get the latest release from the website.");
    EXPECT_TRUE(launcher.startedFiles().empty());
    EXPECT_FALSE(f.window.isClosed());
    EXPECT_EQ(f.ui->getPage(), PageDownload);
}

TEST_F(UpdateTest, AbortDuringASlowDownloadEndsTheThreadAndLogsInAgain)
{
    serviceVersions("v2.7.0.0", "v2.7.0.0");
    downloader.crawl = true;
    f.ui->OnButton(IdUpdateNow);
    while (!downloader.transferring)
        std::this_thread::yield();
    f.ui->OnButton(IdAbortDownload);
    EXPECT_FALSE(update().isRunning());
    update().deliver();
    EXPECT_TRUE(launcher.startedFiles().empty());
    for (const auto& box : f.window.boxes)
        EXPECT_NE(box.title, "Download Error");
    EXPECT_FALSE(f.window.isClosed());
    EXPECT_EQ(f.ui->presses(IdLogin), 1);
}

TEST_F(UpdateTest, AVersionTextThatIsNoVersionDownloadsNothing)
{
    serviceVersions("../../../home/pilot/.profile", "");
    f.ui->OnButton(IdUpdateNow);
    update().deliver();
    EXPECT_TRUE(downloader.url.empty());
    ASSERT_EQ(f.window.boxes.size(), 1u);
    EXPECT_EQ(f.window.boxes[0].title, "Download Error");
}

} // namespace
