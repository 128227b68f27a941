// Where the client keeps its files, and the platform names.
#include "core/ClientConfig.h"
#include "platform/headless/FixedSystemInfo.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct PlatformCase {
    const char* path;
    const char* platform;
};

class WindowsPlatformTest : public ::testing::TestWithParam<PlatformCase> {};

TEST_P(WindowsPlatformTest, NamesThePlatformFromTheProgramFolder)
{
    EXPECT_EQ(CClientConfig::windowsPlatformFor(GetParam().path), GetParam().platform);
}

INSTANTIATE_TEST_SUITE_P(Paths, WindowsPlatformTest,
                         ::testing::Values(PlatformCase{"C:\\Program Files (x86)\\Quenvale\\quenvale.exe", "Win64"},
                                           PlatformCase{"C:\\Program Files\\Quenvale\\quenvale.exe", "Win32"},
                                           PlatformCase{"D:\\Games\\Quenvale\\quenvale.exe", "Win"},
                                           PlatformCase{"D:\\Games (x86)\\quenvale.exe", "Win"},
                                           PlatformCase{"", "Win"}));

// Builds a fresh configuration on a system-information double, then puts the
// test program's own back.
class ConfigTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous = &systemInfo();
        root = fs::temp_directory_path() / ("quenvale-config-" + std::to_string(::getpid()));
        fs::create_directories(root);
        info.dataFolder = root.string() + "/";
        setSystemInfo(&info);
        CClientConfig::destroyInstance();
    }
    void TearDown() override
    {
        CClientConfig::destroyInstance();
        setSystemInfo(previous);
        CClientConfig::getInstance();
        fs::remove_all(root);
    }
    SystemInfo* previous = nullptr;
    fs::path root;
    FixedSystemInfo info;
};

TEST_F(ConfigTest, CreatesTheQuenvaleFolderBelowTheUserData)
{
    const CClientConfig& config = CClientConfig::getInstance();
    const char separator = static_cast<char>(fs::path::preferred_separator);
    EXPECT_EQ(config.getDataFolder(), root.string() + "/Quenvale" + separator);
    EXPECT_EQ(config.getSettingsFolder(), config.getDataFolder());
    EXPECT_EQ(config.getResourceFolder(), "");
#ifdef _WIN32
    EXPECT_EQ(config.getPlatform(), "Win"); // the test program is not below a program folder
#else
    EXPECT_EQ(config.getPlatform(), "Linux");
#endif
    EXPECT_EQ(config.getPositionUploadInterval(), 180000u);
    EXPECT_TRUE(fs::is_directory(root / "Quenvale"));
}

TEST_F(ConfigTest, AnExistingFolderKeepsItsContents)
{
    fs::create_directories(root / "Quenvale");
    std::ofstream(root / "Quenvale" / "quenvale.ini", std::ios::binary) << "[settings]\n";
    CClientConfig::getInstance();
    EXPECT_EQ(fs::file_size(root / "Quenvale" / "quenvale.ini"), 11u);
}

TEST_F(ConfigTest, AnUnknownUserFolderMeansTheCurrentDirectory)
{
    info.dataFolder.clear();
    EXPECT_EQ(CClientConfig::getInstance().getDataFolder(), "");
}

} // namespace
