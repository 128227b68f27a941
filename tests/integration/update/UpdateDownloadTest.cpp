// The update download over libcurl from qvl-service, and the Linux launcher
// handing the package to xdg-open.
#include "../service/ServiceSuite.h"

#include "core/FixedText.h"
#include "platform/Downloader.h"
#include "platform/ProcessLauncher.h"
#include "platform/headless/RecordingProcessLauncher.h"
#include "report/IniParser.h"
#include "support/FlightFixture.h"
#include "support/LogCapture.h"
#include "ui/ControlIds.h"
#include "ui/FlightActions.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class UpdateDownload : public ServiceSuite {
protected:
    void SetUp() override
    {
        ServiceSuite::SetUp();
        downloader = createPlatformDownloader();
        setDownloader(downloader.get());
        setProcessLauncher(&launcher);
        CIniParser& ini = CIniParser::getInstance();
        ini.writeConfigString("server", "WebUrl", service->url());
        ini.writeConfigString("server", "CAFile", service->caFile());
        update().setFolder(folder.string());
        f.ui->SetPage(PageWrongVersion);
    }
    void TearDown() override
    {
        update().stop();
        setDownloader(nullptr);
        setProcessLauncher(nullptr);
        CIniParser::getInstance().writeConfigString("server", "WebUrl", "");
        CIniParser::getInstance().writeConfigString("server", "CAFile", "");
        std::error_code ec;
        fs::remove_all(folder, ec);
    }

    AutoUpdate::CAutoUpdate& update() { return f.ui->getFlightActions().getAutoUpdate(); }

    void startWithVersion(const char* version)
    {
        copyText(f.ui->getClient().versions[CClientInterface::VersionClient], version);
        copyText(f.ui->getClient().versions[CClientInterface::VersionBeta], version);
        f.ui->OnButton(IdUpdateNow);
    }

    void waitForOutcome()
    {
        while (update().isRunning() && f.window.boxes.empty() && !f.window.isClosed()) {
            update().deliver();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        update().deliver(); // the outcome of a thread that ended between two turns
    }

    FlightFixture f;
    std::unique_ptr<Downloader> downloader;
    RecordingProcessLauncher launcher;
    fs::path folder = fs::temp_directory_path() / ("quenvale-update-it-" + std::to_string(::getpid()));
};

TEST_F(UpdateDownload, TheWholeInstallerIsHandedToTheLauncher)
{
    startWithVersion("v2.6.1.0");
    waitForOutcome();
    const std::string file = (folder / "QuenvaleSetup-v2.6.1.0.deb").string();
    ASSERT_EQ(launcher.startedFiles().size(), 1u);
    EXPECT_EQ(fs::path(launcher.startedFiles()[0]), fs::path(file));
    EXPECT_EQ(fs::file_size(file), 64u * 1024u);
    EXPECT_TRUE(f.window.isClosed());
    EXPECT_DOUBLE_EQ(f.window.findControl(IdProgress)->progress, 1.0);
}

// A download that breaks off (fewer bytes than announced), an error page or a
// release the service lacks: the pilot sees the error box, and "updates/"
// holds nothing that could be started.
struct BrokenDownload {
    const char* name;
    const char* fault;
    unsigned value;
    const char* version;
};

class UpdateDownloadBroken : public UpdateDownload, public ::testing::WithParamInterface<BrokenDownload> {};

TEST_P(UpdateDownloadBroken, LeavesNoInstallerAndSaysSo)
{
    const BrokenDownload& c = GetParam();
    ASSERT_TRUE(service->setFault(c.fault, c.value, "download"));
    startWithVersion(c.version);
    waitForOutcome();
    ASSERT_EQ(f.window.boxes.size(), 1u);
    EXPECT_EQ(f.window.boxes[0].title, "Download Error");
    EXPECT_TRUE(launcher.startedFiles().empty());
    EXPECT_FALSE(f.window.isClosed());
    EXPECT_TRUE(fs::is_empty(folder)) << "no partial file is left behind";
}

INSTANTIATE_TEST_SUITE_P(Faults, UpdateDownloadBroken,
                         ::testing::Values(BrokenDownload{"BreaksOff", "closed", 0, "v2.6.1.0"},
                                           BrokenDownload{"ServiceError", "http500", 0, "v2.6.1.0"},
                                           BrokenDownload{"Unavailable", "status", 503, "v2.6.1.0"},
                                           BrokenDownload{"NoSuchRelease", "none", 0, "v2.9.9.9"}),
                         [](const auto& info) { return std::string(info.param.name); });

// Something in the way where the download goes: the pilot sees the error box
// and the log says why in the system's words, after the path it names.
struct BlockedDownload {
    const char* name;
    std::function<void(const fs::path& folder)> block;
    const char* inFolder; // the log line names the folder + this, then ": " and the reason
};

class UpdateDownloadBlocked : public UpdateDownload, public ::testing::WithParamInterface<BlockedDownload> {};

TEST_P(UpdateDownloadBlocked, SaysWhy)
{
    GetParam().block(folder);
    LogCapture logs;
    startWithVersion("v2.6.1.0");
    waitForOutcome();
    ASSERT_EQ(f.window.boxes.size(), 1u);
    EXPECT_EQ(f.window.boxes[0].title, "Download Error");
    EXPECT_TRUE(launcher.startedFiles().empty());
    const std::string named = folder.string() + GetParam().inFolder + ": ";
    const std::vector<std::string> lines = logs.matching(named);
    ASSERT_EQ(lines.size(), 1u);
    const std::size_t at = lines[0].find(named) + named.size() - 2;
    EXPECT_GT(lines[0].size(), at + 2) << lines[0];
    EXPECT_EQ(lines[0].compare(at, 2, ": "), 0) << lines[0];
}

INSTANTIATE_TEST_SUITE_P(
    InTheWay, UpdateDownloadBlocked,
    ::testing::Values(BlockedDownload{"FileForTheFolder", [](const fs::path& p) { std::ofstream(p) << "x"; }, ""},
                      BlockedDownload{
                          "FolderForTheDownload",
                          [](const fs::path& p) { fs::create_directories(p / "QuenvaleSetup-v2.6.1.0.deb.part"); },
                          "/QuenvaleSetup-v2.6.1.0.deb.part"}),
    [](const auto& info) { return std::string(info.param.name); });

// Reads the service's store, and launches through xdg-open: Linux only.
#ifndef _WIN32
TEST_F(UpdateDownload, AbortWhileTheServiceStallsStartsNothing)
{
    ASSERT_TRUE(service->setFault("delay", 20000));
    const std::size_t before = receivedCount("download");
    startWithVersion("v2.6.1.0");
    while (receivedCount("download") == before)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    f.ui->OnButton(IdAbortDownload);
    EXPECT_FALSE(update().isRunning());
    update().deliver();
    EXPECT_TRUE(launcher.startedFiles().empty());
    for (const auto& box : f.window.boxes)
        EXPECT_NE(box.title, "Download Error");
    EXPECT_EQ(f.ui->presses(IdLogin), 1);
    EXPECT_TRUE(fs::is_empty(folder));
}

TEST(InstallerLauncher, HandsThePackageToXdgOpen)
{
    const fs::path dir = fs::temp_directory_path() / ("quenvale-xdg-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path opened = dir / "opened";
    {
        std::ofstream script(dir / "xdg-open");
        script << "#!/bin/sh\necho \"$1\" > '" << opened.string() << ".tmp' && mv '" << opened.string() << ".tmp' '"
               << opened.string() << "'\n";
    }
    fs::permissions(dir / "xdg-open", fs::perms::owner_all);
    const std::string path = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
    setenv("PATH", (dir.string() + ":" + path).c_str(), 1);

    const auto launcher = createPlatformProcessLauncher();
    EXPECT_EQ(launcher->installerSuffix(), ".deb");
    const bool started = launcher->startInstaller("updates/QuenvaleSetup-v2.7.0.0.deb");
    setenv("PATH", path.c_str(), 1);
    ASSERT_TRUE(started);
    for (int i = 0; i < 1000 && !fs::exists(opened); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::string argument;
    std::getline(std::ifstream(opened), argument);
    EXPECT_EQ(argument, "updates/QuenvaleSetup-v2.7.0.0.deb");
    fs::remove_all(dir);
}

#endif

} // namespace
