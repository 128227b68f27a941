// The link's own rules with an in-memory module: the unpack checks, retries
// and their codes, the handshake passes, and CFsuipc's lazy reopening.
#include "platform/headless/ManualClock.h"
#include "sim/fsuipc/Fsuipc.h"
#include "sim/fsuipc/FsuipcLink.h"
#include "support/FsuipcMemoryTransport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>

namespace {

class FsuipcLinkUnitTest : public ::testing::Test {
protected:
    void SetUp() override { CFsuipcLink::setTransport(&module); }
    void TearDown() override { CFsuipcLink::setTransport(nullptr); }

    ScopedManualClock clock;
    CFsuipcMemoryTransport module;
    CFsuipcLink& link = CFsuipcLink::instance();
    int result = -1;
};

// --- unpacking an answer block the server may have scribbled on ---

struct Tamper {
    const char* name;
    std::function<void(std::uint8_t*)> change; // applied to the block after the server's walk
    bool accepted;
};

class FsuipcUnpackTest : public FsuipcLinkUnitTest, public ::testing::WithParamInterface<Tamper> {};

void put32(std::uint8_t* p, std::uint32_t v)
{
    std::memcpy(p, &v, 4);
}

std::uint32_t get32(const std::uint8_t* p)
{
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

TEST_P(FsuipcUnpackTest, OnlyRecordsAsQueuedAreCopied)
{
    module.set<std::uint32_t>(0x0BDC, 0x11223344);
    module.set<std::uint64_t>(0x0560, 0x0102030405060708ull);
    ASSERT_TRUE(link.open(0, result));
    module.afterWalk = GetParam().change;
    // Layout: read 0x0BDC (4) at 0, write 0x0262 (2) at 20, read 0x0560 (8) at 34.
    std::uint8_t memory[48];
    std::memset(memory, 0xAB, sizeof memory);
    const std::uint16_t one = 1;
    ASSERT_TRUE(link.read(0x0BDC, 4, memory + 8, result));
    ASSERT_TRUE(link.write(0x0262, 2, &one, result));
    ASSERT_TRUE(link.read(0x0560, 8, memory + 24, result));
    EXPECT_EQ(link.process(result), GetParam().accepted);
    if (GetParam().accepted) {
        std::uint32_t a;
        std::uint64_t b;
        std::memcpy(&a, memory + 8, 4);
        std::memcpy(&b, memory + 24, 8);
        EXPECT_EQ(a, 0x11223344u);
        EXPECT_EQ(b, 0x0102030405060708ull);
        return;
    }
    EXPECT_EQ(result, CFsuipcLink::ErrData);
    for (std::uint8_t byte : memory)
        EXPECT_EQ(byte, 0xAB);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, FsuipcUnpackTest,
    ::testing::Values(Tamper{"honest", nullptr, true},
                      Tamper{"terminatorGone", [](std::uint8_t* b) { put32(b + 58, 0xFFFFFFFF); }, true},
                      Tamper{"readOffsetMoved", [](std::uint8_t* b) { put32(b + 4, 0x0BE0); }, false},
                      Tamper{"readSizeGrown", [](std::uint8_t* b) { put32(b + 8, 0x7FF0); }, false},
                      Tamper{"destinationAddressChanged", [](std::uint8_t* b) { put32(b + 12, get32(b + 12) + 8); }, false},
                      Tamper{"readTurnedIntoWrite", [](std::uint8_t* b) { put32(b, 2); }, false},
                      Tamper{"writeSizeChanged", [](std::uint8_t* b) { put32(b + 28, 6); }, false},
                      Tamper{"secondReadZeroed", [](std::uint8_t* b) { put32(b + 34, 0); }, false},
                      Tamper{"unknownIdentifier", [](std::uint8_t* b) { put32(b + 20, 7); }, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FsuipcUnpack, RecordReachingPastTheBlockIsRefused)
{
    std::uint8_t block[64] = {};
    put32(block, 1);
    put32(block + 4, 0x0BDC);
    put32(block + 8, 60);
    std::uint8_t destination[60] = {};
    put32(block + 12, CFsuipcLink::clientAddress(destination));
    const CFsuipcLink::QueuedRequest q{0, 1, 0x0BDC, 60, destination};
    EXPECT_FALSE(CFsuipcLink::unpack(block, sizeof block, {q}));
}

// --- sending ---

struct SendCase {
    const char* name;
    int timeouts;
    int failures;
    bool ok;
    int code;
};

class FsuipcSendTest : public FsuipcLinkUnitTest, public ::testing::WithParamInterface<SendCase> {};

TEST_P(FsuipcSendTest, RetriesNineTimesThenNamesTheLastFailure)
{
    ASSERT_TRUE(link.open(0, result));
    const int sendsBefore = module.sends;
    const std::int64_t before = clock->nowMs();
    module.timeoutsBeforeAnswer = GetParam().timeouts;
    module.failuresBeforeAnswer = GetParam().failures;
    std::uint32_t v = 0;
    ASSERT_TRUE(link.read(0x3304, 4, &v, result));
    EXPECT_EQ(link.process(result), GetParam().ok);
    const int failed = std::min(9, GetParam().timeouts + GetParam().failures);
    EXPECT_EQ(module.sends - sendsBefore, std::min(9, failed + 1));
    EXPECT_EQ(clock->nowMs() - before, failed * 100);
    if (!GetParam().ok) {
        EXPECT_EQ(result, GetParam().code);
    }
}

INSTANTIATE_TEST_SUITE_P(Attempts, FsuipcSendTest,
                         ::testing::Values(SendCase{"firstAnswers", 0, 0, true, 0},
                                           SendCase{"eighthRetryAnswers", 8, 0, true, 0},
                                           SendCase{"allTimeOut", 9, 0, false, CFsuipcLink::ErrTimeout},
                                           SendCase{"allFail", 0, 9, false, CFsuipcLink::ErrSendMsg},
                                           SendCase{"lastOneFails", 5, 4, false, CFsuipcLink::ErrSendMsg}),
                         [](const auto& info) { return std::string(info.param.name); });

// Each step of opening the link that the system can refuse has its own code,
// and a refused open leaves the link closed for the next try.
struct OpenFailure {
    const char* name;
    std::function<void(CFsuipcMemoryTransport&)> breakIt;
    int code;
};

class FsuipcOpenFailureTest : public FsuipcLinkUnitTest, public ::testing::WithParamInterface<OpenFailure> {};

TEST_P(FsuipcOpenFailureTest, NamesTheStepThatFailed)
{
    GetParam().breakIt(module);
    EXPECT_FALSE(link.open(0, result));
    EXPECT_EQ(result, GetParam().code);
    EXPECT_FALSE(link.isOpen());
    module.messageNumber = 0xC0DE;
    module.atomFails = module.noView = false;
    module.mapStatus = FsuipcTransport::MapStatus::Mapped;
    EXPECT_TRUE(link.open(0, result)) << "the next open starts afresh";
}

INSTANTIATE_TEST_SUITE_P(
    Steps, FsuipcOpenFailureTest,
    ::testing::Values(
        OpenFailure{"Message", [](CFsuipcMemoryTransport& m) { m.messageNumber = 0; }, CFsuipcLink::ErrRegMsg},
        OpenFailure{"Atom", [](CFsuipcMemoryTransport& m) { m.atomFails = true; }, CFsuipcLink::ErrAtom},
        OpenFailure{"NameExists",
                    [](CFsuipcMemoryTransport& m) { m.mapStatus = FsuipcTransport::MapStatus::NameExists; },
                    CFsuipcLink::ErrMap},
        OpenFailure{"Mapping", [](CFsuipcMemoryTransport& m) { m.mapStatus = FsuipcTransport::MapStatus::Failed; },
                    CFsuipcLink::ErrMap},
        OpenFailure{"View", [](CFsuipcMemoryTransport& m) { m.noView = true; }, CFsuipcLink::ErrView}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FsuipcLinkUnitTest, AnswerOtherThanOneIsBadData)
{
    ASSERT_TRUE(link.open(0, result));
    module.answer = 0;
    std::uint32_t v = 7;
    ASSERT_TRUE(link.read(0x3304, 4, &v, result));
    EXPECT_FALSE(link.process(result));
    EXPECT_EQ(result, CFsuipcLink::ErrData);
    EXPECT_EQ(v, 7u);
}

// --- open ---

TEST_F(FsuipcLinkUnitTest, HandshakeRetriesUntilBothVersionWordsArriveAndWritesTheLibraryVersionOnce)
{
    module.set<std::uint32_t>(0x3308, 0);
    int passes = 0;
    module.afterWalk = [&](std::uint8_t*) {
        if (++passes == 2)
            module.set<std::uint32_t>(0x3308, 0xFADE000B);
    };
    ASSERT_TRUE(link.open(0, result));
    EXPECT_EQ(passes, 3); // the third pass reads what the second left
    EXPECT_EQ(link.getSimulatorVersion(), 11u);
    EXPECT_EQ(std::count(module.writtenOffsets.begin(), module.writtenOffsets.end(), 0x330Au), 1);
}

TEST_F(FsuipcLinkUnitTest, ModuleThatNeverAnswersItsVersionIsRefusedAfterFivePasses)
{
    module.set<std::uint32_t>(0x3304, 0);
    EXPECT_FALSE(link.open(0, result));
    EXPECT_EQ(result, CFsuipcLink::ErrVersion);
    EXPECT_EQ(module.sends, 5);
    EXPECT_FALSE(link.isOpen());
}

TEST_F(FsuipcLinkUnitTest, RequestedSimulatorMustMatch)
{
    EXPECT_FALSE(link.open(7, result));
    EXPECT_EQ(result, CFsuipcLink::ErrWrongFs);
    EXPECT_TRUE(link.open(8, result));
}

TEST_F(FsuipcLinkUnitTest, FsuipcReopensLazilyWithANewMappingName)
{
    CFsuipc fsuipc;
    ASSERT_TRUE(fsuipc.isOpen());
    module.failuresBeforeAnswer = 9;
    std::uint32_t v = 0;
    ASSERT_TRUE(fsuipc.read(0x3304, 4, &v));
    EXPECT_FALSE(fsuipc.process());
    EXPECT_FALSE(fsuipc.isOpen());
    ASSERT_TRUE(fsuipc.read(0x3304, 4, &v));
    EXPECT_TRUE(fsuipc.isOpen());
    EXPECT_TRUE(fsuipc.process());
    EXPECT_EQ(v, 0x70100000u);
    ASSERT_EQ(module.mappingNames.size(), 2u);
    EXPECT_NE(module.mappingNames[0], module.mappingNames[1]);
    EXPECT_EQ(module.mappingNames[0].rfind("FsasmLib:IPC:1234:", 0), 0u);
}

TEST_F(FsuipcLinkUnitTest, FailedQueueClosesTheLinkForTheNextCallToReopen)
{
    CFsuipc fsuipc;
    ASSERT_TRUE(fsuipc.isOpen());
    static std::uint8_t big[0x7F00];
    EXPECT_FALSE(fsuipc.read(0x1400, sizeof big, big));
    EXPECT_FALSE(fsuipc.isOpen());
    EXPECT_FALSE(link.isOpen());
}

} // namespace
