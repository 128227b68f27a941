// `replay` and `landing` on a file that is no recording a flight wrote: each
// ends at once with the reason and the bad-recording status, and leaves no
// analysis file behind; a FIFO must not block them, a huge sparse file must
// not be read far.
#include "app/RecordingCommands.h"
#include "app/ExitCodes.h"
#include "recorder/LandingReport.h"
#include "support/SpecialFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

struct HostileFile {
    const char* name;
    std::function<void(const std::string&)> make;
    const char* says;
};

// The magic line and a flight start too short to decode.
void sparseGigabyte(const std::string& path)
{
    {
        std::ofstream out(path, std::ios::binary);
        out << "QVLREC1\n";
    }
    fs::resize_file(path, std::uintmax_t{1} << 30);
}

const HostileFile kHostileFiles[] = {
    {"Missing", [](const std::string&) {}, "cannot open"},
    {"Fifo", [](const std::string& p) { makeSpecialFile(p); }, "not a regular file"},
    {"SparseGigabyte", sparseGigabyte, "damaged record at byte 8"},
    {"Settings", [](const std::string& p) { std::ofstream(p) << "[login]\nUser=demo\n"; }, "not a flight recording"},
};

class RecordingCommandsHostile : public ::testing::TestWithParam<HostileFile> {
protected:
    void SetUp() override
    {
        fs::create_directories(dir);
        GetParam().make(path);
    }
    void TearDown() override
    {
        removeSpecialFile(path);
        std::error_code ec;
        fs::remove_all(dir, ec);
    }

    void expectRefused(int status, const std::ostringstream& err)
    {
        EXPECT_EQ(status, ExitBadRecording);
        EXPECT_NE(err.str().find(GetParam().says), std::string::npos) << err.str();
        for (const std::string& file : CLandingReport::analysisFiles(path))
            EXPECT_FALSE(fs::exists(file)) << file;
    }

    fs::path dir = fs::temp_directory_path() / ("qvl-hostile-" + std::to_string(::getpid()));
    std::string path = (dir / "flight.qvlrec").string();
};

TEST_P(RecordingCommandsHostile, ReplayEndsWithTheReason)
{
    std::ostringstream out, err;
    expectRefused(RecordingCommands::replay(path, out, err), err);
}

TEST_P(RecordingCommandsHostile, LandingEndsWithTheReasonAndWritesNothing)
{
    std::ostringstream out, err;
    expectRefused(RecordingCommands::landing(path, out, err), err);
}

INSTANTIATE_TEST_SUITE_P(Files, RecordingCommandsHostile, ::testing::ValuesIn(kHostileFiles),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
