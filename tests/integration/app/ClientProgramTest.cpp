// The client program itself, started as a pilot would start it: its options,
// its refusal of a second client on one data folder, pilot scripts that
// fail the way a script author must be told about, and an interrupt that
// ends a client blocked on the service.
#include "support/ClientProgram.h"
#include "ServiceStore.h"
#include "support/ServiceProcess.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class ClientProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        folder = fs::temp_directory_path() /
                 ("quenvale-program-" + std::to_string(::getpid()) + "-" + std::string(test->name()));
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::remove_all(folder, ec);
    }

    std::string script(const std::string& text)
    {
        const fs::path path = folder / "pilot.txt";
        std::ofstream(path) << text;
        return path.string();
    }
    ClientProgram client(std::vector<std::string> arguments)
    {
        return ClientProgram(ClientProgram::programPath(QVL_BINARY_DIR), std::move(arguments));
    }
    std::string dataDir() const { return (folder / "data").string(); }

    fs::path folder;
};

TEST_F(ClientProgramTest, HelpDescribesEveryOption)
{
    ClientProgram program = client({"--help"});
    ASSERT_EQ(program.run(10000), 0);
    for (const char* option : {"--version", "--help", "--data-dir DIR", "--headless", "--pilot FILE"})
        EXPECT_NE(program.output().find(option), std::string::npos) << option;
    ClientProgram version = client({"--version"});
    ASSERT_EQ(version.run(10000), 0);
    EXPECT_NE(version.output().find("v2.6.1.0"), std::string::npos);
}

struct BadStart {
    const char* name;
    const char* script; // nullptr: no script file is written
    std::vector<std::string> arguments;
    int status;
    const char* says;
};

class ClientProgramBadStart : public ClientProgramTest, public ::testing::WithParamInterface<BadStart> {};

TEST_P(ClientProgramBadStart, EndsWithAClearLineAndStatus)
{
    const BadStart& c = GetParam();
    std::vector<std::string> arguments{"--headless", "--data-dir", dataDir()};
    if (c.script != nullptr)
        arguments.insert(arguments.end(), {"--pilot", script(c.script)});
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    ClientProgram program = client(arguments);
    EXPECT_EQ(program.run(20000), c.status) << program.output();
    EXPECT_NE(program.output().find(c.says), std::string::npos) << program.output();
}

const BadStart kBadStarts[] = {
    {"UnknownOption", nullptr, {"--fly"}, 2, "unknown option --fly"},
    {"PilotWithoutFile", nullptr, {"--pilot"}, 2, "--pilot needs a value"},
    {"MissingScript", nullptr, {"--pilot", "/nonexistent/pilot.txt"}, 2, "cannot read the pilot script"},
    {"UnknownCommand", "wait page 0\nfly to EDDM\n", {}, 2, "line 2: unknown command 'fly'"},
    {"PageOutOfRange", "# comment\n\nexpect page 20\n", {}, 2, "line 3: expect needs 'page N'"},
    {"BinaryJunk", "press 3\n\x01\xff zz\n", {}, 2, "line 2: unknown command"},
    {"FailedExpectation",
     "wait page 0 5\nexpect page 5\n",
     {},
     1,
     "pilot script failed at line 2 (expect page 5): the client shows page 0"},
    {"WaitTimesOut", "wait page 1 0.5\n", {}, 1, "line 1 (wait page 1 0.5): waited 0.5 s, the client shows page 0"},
    {"PressHiddenButton", "press 31\n", {}, 1, "line 1 (press 31): button 31 is not shown"},
};

INSTANTIATE_TEST_SUITE_P(Starts, ClientProgramBadStart, ::testing::ValuesIn(kBadStarts),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ClientProgramTest, SecondClientOnOneDataFolderIsRefused)
{
    ClientProgram first = client({"--headless", "--data-dir", dataDir()});
    ASSERT_TRUE(first.start());
    ASSERT_TRUE(first.waitForOutput("page 0", 20000)) << first.output();

    ClientProgram second = client({"--headless", "--data-dir", dataDir()});
    EXPECT_EQ(second.run(20000), 3);
    EXPECT_NE(second.output().find("The client is already running!"), std::string::npos) << second.output();
    EXPECT_EQ(second.output().find("page 0"), std::string::npos) << "the second client built its window";

    // The first keeps running, ends cleanly when interrupted, and frees the folder.
    first.interrupt();
    EXPECT_EQ(first.finish(20000), 0) << first.output();
    ClientProgram third = client({"--headless", "--data-dir", dataDir(), "--pilot", script("expect page 0\n")});
    EXPECT_EQ(third.run(20000), 0) << third.output();
}

// SIGTERM while the client waits on a service that does not answer: the
// request could keep it for minutes, so the signal ends it after its grace.
TEST_F(ClientProgramTest, TermWhileBlockedInARequestEndsTheClientAfterItsGrace)
{
    ServiceProcess service(QVL_BINARY_DIR "/tools/qvl-service/qvl-service");
    ASSERT_TRUE(service.start());
    ASSERT_TRUE(service.setFault("delay", 600000, "getversion"));
    fs::create_directories(dataDir());
    std::ofstream(fs::path(dataDir()) / "quenvale.ini")
        << "[server]\nUrl = " << service.url() << "\nCAFile = " << service.caFile() << "\n";
    ClientProgram program = client({"--headless", "--data-dir", dataDir(), "--pilot",
                                    script("wait page 0 30\ntype 101 demo\ntype 102 demo123\npress 3\n"
                                           "sleep 600\n")});
    ASSERT_TRUE(program.start());
    CServiceStore store;
    ASSERT_TRUE(store.open(service.databaseFile()));
    bool asked = false;
    for (int i = 0; i < 300 && !asked; ++i) {
        asked = !store.received("getversion").empty();
        ::usleep(100000);
    }
    ASSERT_TRUE(asked) << "the login never reached the service";
    program.interrupt();
    EXPECT_EQ(program.finish(60000), 128 + SIGTERM) << program.output();
}

} // namespace
