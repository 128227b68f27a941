// The Windows program's view of its machine, from the real implementation in
// a program copied to the three kinds of folder: the platform text from its
// own path, the data folder under the user's application-data folder, and
// the machine identifier from the system drive's volume serial number, which
// ctest's WinePrefix fixture sets to abcdef (Wine reads it from C:\.windows-serial
// when the prefix starts).
#include "platform/SystemInfo.h"
#include "platform/win32/WideText.h"
#include "report/PasswordScrambler.h"
#include "support/StoreFiles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

struct ProbeCase {
    const char* folder; // below C:\ .
    const char* platform;
};

constexpr const char* kMachineId = "00ABCDEF"; // eight upper-case digits of the serial abcdef

class WindowsSystem : public ::testing::TestWithParam<ProbeCase> {};

// Runs the probe from the folder; its three lines, or empty ones when it failed.
std::vector<std::string> runProbe(const fs::path& folder)
{
    fs::create_directories(folder);
    const fs::path program = folder / L"platform_probe.exe";
    fs::copy_file(QVL_BINARY_DIR "/tests/platform_probe.exe", program, fs::copy_options::overwrite_existing);
    const fs::path output = fs::temp_directory_path() / ("probe-" + std::to_string(GetCurrentProcessId()) + ".txt");
    std::wstring commandLine = L"\"" + program.wstring() + L"\" \"" + output.wstring() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::vector<std::string> lines;
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return lines;
    WaitForSingleObject(process.hProcess, 60000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::ifstream in(output);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    std::error_code ec;
    fs::remove(output, ec);
    fs::remove_all(folder, ec);
    return lines;
}

TEST_P(WindowsSystem, PlatformDataFolderAndMachineId)
{
    const ProbeCase& c = GetParam();
    const std::vector<std::string> lines = runProbe(fs::path(L"C:\\") / fs::path(toWide(c.folder)));
    ASSERT_EQ(lines.size(), 3u) << "the probe did not report";
    EXPECT_EQ(lines[0], c.platform);
    const char* appData = std::getenv("APPDATA");
    ASSERT_NE(appData, nullptr);
    EXPECT_EQ(lines[1], std::string(appData) + "\\Quenvale\\");
    EXPECT_TRUE(fs::is_directory(toWide(lines[1])));
    EXPECT_EQ(lines[2], kMachineId);
}

INSTANTIATE_TEST_SUITE_P(Table, WindowsSystem,
                         ::testing::Values(ProbeCase{"Program Files (x86)\\Quenvale", "Win64"},
                                           ProbeCase{"Program Files\\Quenvale", "Win32"},
                                           ProbeCase{"Spiele\\Quenvale\xc3\xa9", "Win"}),
                         [](const auto& info) { return std::string(info.param.platform); });

// The settings file in the system code page (1252 in the suites' prefix), as
// the Parts' client keeps it, with UTF-8 inside: a non-ASCII login name and
// password reach the file in the code page, and come back whole from it and
// from a file an earlier client wrote in UTF-8.
struct StoredName {
    const char* utf8;
    const char* codePage;
};

class StoredText : public ::testing::TestWithParam<StoredName> {
protected:
    void SetUp() override
    {
        CClientConfig::getInstance(); // the suite's data folder, before the real system's is installed
        startWithEmptyStore();
        previous = &systemInfo();
        setSystemInfo(windows.get());
    }
    void TearDown() override
    {
        startWithEmptyStore();
        setSystemInfo(previous);
    }

    std::unique_ptr<SystemInfo> windows = createPlatformSystemInfo();
    SystemInfo* previous = nullptr;
};

TEST_P(StoredText, LoginRoundTripsThroughTheSystemCodePage)
{
    ASSERT_EQ(GetACP(), 1252u) << "the table holds code page 1252";
    const std::string name = GetParam().utf8;
    const std::string password = name + "!";
    CIniParser& store = CIniParser::getInstance();
    const std::string settings = store.getSettingsPath();
    ASSERT_TRUE(store.writeLogin(name, password));
    ASSERT_TRUE(store.save());
    const std::string file = readWholeFile(settings);
    EXPECT_NE(file.find(std::string("User = ") + GetParam().codePage), std::string::npos) << file;
    EXPECT_NE(file.find(CPasswordScrambler::scramble(std::string(GetParam().codePage) + "!")), std::string::npos)
        << "the scrambled letters stand for the code page's bytes";
    CIniParser::destroyInstance();
    EXPECT_EQ(CIniParser::getInstance().readConfigString("login", "User"), name);
    EXPECT_EQ(CIniParser::getInstance().readLoginPassword(), password);

    CIniParser::destroyInstance();
    writeWholeFile(settings, "[login]\r\nUser = " + name + "\r\n");
    EXPECT_EQ(CIniParser::getInstance().readConfigString("login", "User"), name) << "a UTF-8 file of an earlier client";
}

INSTANTIATE_TEST_SUITE_P(Names, StoredText,
                         ::testing::Values(StoredName{"J\xC3\xB6rg", "J\xF6rg"},
                                           StoredName{"\xC3\x86r\xC3\xB8 Fran\xC3\xA7ois", "\xC6r\xF8 Fran\xE7ois"},
                                           StoredName{"M\xC3\xBCller-L\xC3\xBC" "denscheid \xE2\x82\xAC",
                                                      "M\xFCller-L\xFC" "denscheid \x80"}),
                         [](const auto& info) { return "Name" + std::to_string(info.index); });

} // namespace
