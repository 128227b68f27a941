// The Windows program's view of its machine, from the real implementation in
// a program copied to the three kinds of folder: the platform text from its
// own path, the data folder under the user's application-data folder, and
// the machine identifier from the system drive's volume serial number, which
// tools/wine-tests.sh sets to abcdef (Wine reads it from C:\.windows-serial
// when the prefix starts).
#include "platform/win32/WideText.h"

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

} // namespace
