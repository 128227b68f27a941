// The link against qvl-sim in another process: open, the error codes, the
// block bound, the mapping names, and a server that tampers with the answers.
#include "sim/fsuipc/FsuipcLink.h"
#include "core/DebugLog.h"
#include "platform/FsuipcTransport.h"
#include "sim/fsuipc/Fsuipc.h"
#include "support/FsuipcTestDirectory.h"
#include "support/SimProcess.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class FsuipcLinkTest : public ::testing::Test {
protected:
    void SetUp() override { CFsuipcLink::instance().close(); }
    void TearDown() override { CFsuipcLink::instance().close(); }

    std::unique_ptr<CSimProcess> startSim(std::vector<std::string> extra = {})
    {
        std::vector<std::string> args = {"run", "short_circuit", "--time-scale", "0", "--record", dir.file("record")};
        args.insert(args.end(), extra.begin(), extra.end());
        auto sim = std::make_unique<CSimProcess>(CSimProcess::programPath(QVL_BINARY_DIR), args);
        EXPECT_TRUE(sim->start());
        return sim;
    }

    CFsuipcLink& link = CFsuipcLink::instance();
    CFsuipcTestDirectory dir;
};

std::string logText()
{
    CDebugLog probe("FsuipcLinkTestProbe", CDebugLog::Quiet{});
    std::ifstream in(probe.filePath());
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

TEST_F(FsuipcLinkTest, WithoutServerOpenFailsWithCode2AndLogsWhy)
{
    CFsuipc fsuipc;
    EXPECT_FALSE(fsuipc.isOpen());
    int result = 0;
    EXPECT_FALSE(link.open(0, result));
    EXPECT_EQ(result, CFsuipcLink::ErrNoFs);
    EXPECT_NE(logText().find("Cannot link to FSUIPC or WideClient"), std::string::npos);
    // Every call on the closed link is refused with 9 and touches nothing.
    EXPECT_FALSE(link.read(0x3304, 4, &result, result));
    EXPECT_EQ(result, CFsuipcLink::ErrNotOpen);
}

struct OpenCase {
    std::vector<std::string> args;
    int expected;
};

class FsuipcOpenTest : public FsuipcLinkTest, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(FsuipcOpenTest, VersionHandshakeDecides)
{
    auto sim = startSim(GetParam().args);
    int result = -1;
    EXPECT_EQ(link.open(0, result), GetParam().expected == 0);
    EXPECT_EQ(result, GetParam().expected);
    EXPECT_EQ(link.isOpen(), GetParam().expected == 0);
}

INSTANTIATE_TEST_SUITE_P(Servers, FsuipcOpenTest,
                         ::testing::Values(OpenCase{{}, 0}, OpenCase{{"--no-magic"}, 7},
                                           OpenCase{{"--fsuipc-version", "0x19980004"}, 7},
                                           OpenCase{{"--class", "FS98MAIN"}, 0},
                                           OpenCase{{"--class", "FS98MAIN", "--no-magic"}, 14}));

TEST_F(FsuipcLinkTest, OpenWhileOpenAndProcessWithNothingQueuedAreRefused)
{
    auto sim = startSim();
    int result = 0;
    ASSERT_TRUE(link.open(0, result));
    EXPECT_FALSE(link.open(0, result));
    EXPECT_EQ(result, CFsuipcLink::ErrOpen);
    EXPECT_FALSE(link.process(result));
    EXPECT_EQ(result, CFsuipcLink::ErrNoData);
    EXPECT_TRUE(link.isOpen());
}

TEST_F(FsuipcLinkTest, RequestPastTheBoundFailsWith15AndKeepsTheEarlierOnes)
{
    auto sim = startSim({"--fsuipc-version", "0x70200000"});
    int result = 0;
    ASSERT_TRUE(link.open(0, result));
    std::uint32_t version = 0;
    static std::uint8_t big[3][8000];
    static std::uint8_t last[8428];
    ASSERT_TRUE(link.read(0x3304, 4, &version, result));
    for (auto& b : big)
        ASSERT_TRUE(link.read(0x1400, sizeof b, b, result));
    // 20 + 3 * 8016 + 8444 fills the request space exactly.
    ASSERT_TRUE(link.read(0x1400, sizeof last, last, result));
    std::uint8_t none = 0;
    EXPECT_FALSE(link.read(0x3304, 0, &none, result));
    EXPECT_EQ(result, CFsuipcLink::ErrSize);
    std::uint16_t word = 1;
    EXPECT_FALSE(link.write(0x0262, 0, &word, result));
    EXPECT_EQ(result, CFsuipcLink::ErrSize);
    ASSERT_TRUE(link.process(result)) << result;
    EXPECT_EQ(version, 0x70200000u);
}

TEST_F(FsuipcLinkTest, SuccessiveOpensUseNamesEndingOneAndTwo)
{
    auto sim = startSim();
    CFsuipcLink::resetOpenCounter();
    int result = 0;
    ASSERT_TRUE(link.open(0, result));
    const std::string first = link.getMappingName();
    link.close();
    ASSERT_TRUE(link.open(0, result));
    const std::string second = link.getMappingName();
    EXPECT_EQ(first.rfind("FsasmLib:IPC:", 0), 0u);
    EXPECT_EQ(first.substr(first.size() - 2), ":1");
    EXPECT_EQ(second.substr(0, second.size() - 1), first.substr(0, first.size() - 1));
    EXPECT_EQ(second.back(), '2');
}

// A name left by a dead process with this process's id is a leftover and is
// taken over; a name of another process is never touched (error 5).
struct TakenName {
    bool ownProcessId;
    bool opens;
};

class FsuipcTakenNameTest : public FsuipcLinkTest, public ::testing::WithParamInterface<TakenName> {};

TEST_P(FsuipcTakenNameTest, OwnLeftoverIsReplacedAnotherProcessNameIsLeftAlone)
{
    auto sim = startSim();
    CFsuipcLink::resetOpenCounter();
    // Another process: an id beyond any pid_max, never that of a test running
    // beside this one (the next id often is, with a name of its own).
    const unsigned pid = GetParam().ownProcessId ? static_cast<unsigned>(::getpid()) : 0x7FFFFFF0u;
    char name[64];
    std::snprintf(name, sizeof name, "/FsasmLib:IPC:%X:1", pid);
    const int fd = ::shm_open(name, O_CREAT | O_EXCL | O_RDWR, 0600);
    ASSERT_GE(fd, 0);
    ::close(fd);
    int result = 0;
    if (GetParam().ownProcessId) {
        EXPECT_TRUE(link.open(0, result)) << result;
        EXPECT_EQ(link.getMappingName(), std::string(name + 1));
        link.close();
        EXPECT_NE(::shm_unlink(name), 0) << "the link's own close removes its name";
        return;
    }
    // The link only ever names its own id; another process's name is reached
    // through the transport.
    EXPECT_EQ(createPlatformFsuipcTransport()->createMapping(name + 1, 32768), FsuipcTransport::MapStatus::NameExists);
    EXPECT_EQ(::shm_unlink(name), 0) << "another program's mapping is not removed";
}

INSTANTIATE_TEST_SUITE_P(Names, FsuipcTakenNameTest, ::testing::Values(TakenName{true, true}, TakenName{false, false}),
                         [](const auto& info) { return info.param.ownProcessId ? "OwnId" : "OtherProcess"; });

// The module drops the names a connection used when it closes, so a client
// killed with its mapping open leaves nothing behind.
TEST_F(FsuipcLinkTest, NamesOfAClosedConnectionAreRemovedByTheModule)
{
    auto sim = startSim();
    const std::unique_ptr<FsuipcTransport> client = createPlatformFsuipcTransport();
    FsuipcTransport& raw = *client;
    ASSERT_TRUE(raw.findWindow("UIPCMAIN"));
    char name[64];
    std::snprintf(name, sizeof name, "FsasmLib:IPC:%X:7F", static_cast<unsigned>(::getpid()));
    ASSERT_EQ(raw.createMapping(name, 32768), FsuipcTransport::MapStatus::Mapped);
    ASSERT_TRUE(raw.addAtom(name));
    std::memset(raw.view(), 0, 32768); // an empty batch
    ASSERT_EQ(raw.sendMessage(raw.registerMessage("FsasmLib:IPC"), 2000).status, FsuipcTransport::SendStatus::Answered);
    const std::string shmName = std::string("/") + name;
    raw.forgetWindow(); // the connection ends as a killed client's would, the name still there
    bool gone = false;
    for (int i = 0; i < 100 && !gone; ++i) {
        const int fd = ::shm_open(shmName.c_str(), O_RDWR, 0);
        gone = fd < 0;
        if (!gone) {
            ::close(fd);
            ::usleep(20000);
        }
    }
    EXPECT_TRUE(gone);
}

class FsuipcFaultTest : public FsuipcLinkTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(FsuipcFaultTest, BadAnswerFailsWith13AndWritesNothing)
{
    auto sim = startSim({"--fault", GetParam()});
    int result = 0;
    ASSERT_TRUE(link.open(0, result)) << result;
    // Canaries around every destination show that nothing outside them moved.
    std::uint8_t memory[64];
    std::memset(memory, 0xAB, sizeof memory);
    ASSERT_TRUE(link.read(0x3304, 4, memory + 8, result));
    ASSERT_TRUE(link.read(0x0560, 8, memory + 24, result));
    EXPECT_FALSE(link.process(result));
    EXPECT_EQ(result, CFsuipcLink::ErrData);
    for (std::uint8_t b : memory)
        EXPECT_EQ(b, 0xAB);
}

INSTANTIATE_TEST_SUITE_P(Faults, FsuipcFaultTest, ::testing::Values("rewrite-header", "answer-zero"));

// A module that stops answering fails the batch with 11 once every try has
// waited its 2 s.
TEST_F(FsuipcLinkTest, ModuleThatNeverAnswersFailsWith11)
{
    auto sim = startSim({"--fault", "never-answer"});
    int result = 0;
    ASSERT_TRUE(link.open(0, result)) << result;
    std::uint32_t version = 0;
    ASSERT_TRUE(link.read(0x3304, 4, &version, result));
    EXPECT_FALSE(link.process(result));
    EXPECT_EQ(result, CFsuipcLink::ErrTimeout);
    EXPECT_EQ(version, 0u);
}

// An answer that comes after the wait belongs to no one: the next try takes
// its own answer, and so does every batch after it.
TEST_F(FsuipcLinkTest, ALateAnswerIsDroppedAndTheNextTryServed)
{
    auto sim = startSim({"--fault", "answer-late", "--fsuipc-version", "0x70200000"});
    int result = 0;
    ASSERT_TRUE(link.open(0, result)) << result;
    for (int batch = 0; batch < 10; ++batch) {
        std::uint32_t version = 0;
        ASSERT_TRUE(link.read(0x3304, 4, &version, result));
        ASSERT_TRUE(link.process(result)) << "batch " << batch << ": " << result;
        EXPECT_EQ(version, 0x70200000u) << "batch " << batch;
    }
}

TEST_F(FsuipcLinkTest, ZeroByteReadIsServedWithoutCopying)
{
    auto sim = startSim();
    int result = 0;
    ASSERT_TRUE(link.open(0, result));
    std::uint8_t canary = 0x5A;
    std::uint32_t version = 0;
    ASSERT_TRUE(link.read(0x3304, 0, &canary, result));
    ASSERT_TRUE(link.read(0x3304, 4, &version, result));
    ASSERT_TRUE(link.process(result));
    EXPECT_EQ(canary, 0x5A);
    EXPECT_NE(version, 0u);
}

} // namespace
