// The server link when the service misbehaves: broken frames and answers,
// refused connections, a stalled service, and certificates it cannot trust.
#include "ServiceSuite.h"

#include "core/DebugLog.h"
#include "core/ServerAddress.h"
#include "platform/SystemInfo.h"
#include "server/BackgroundSender.h"
#include "server/LegacyEndpoint.h"
#include "server/LegacyResult.h"
#include "support/DemoFlightReport.h"
#include "support/HeardLines.h"

#include <chrono>
#include <regex>
#include <thread>
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

class ServiceFaults : public ServiceSuite {};

struct FaultCase {
    const char* mode;
    int legacyResult;
    bool loginWorks;
};

class FaultModes : public ServiceFaults, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(FaultModes, LegacyAndJsonCallsFailCleanly)
{
    auto c = newClient(false);
    ASSERT_TRUE(service->setFault(GetParam().mode));
    if (std::string(GetParam().mode) == "refuse") {
        ASSERT_TRUE(service->waitRefusing(5000));
    }
    EXPECT_EQ(c->getVersion(), GetParam().legacyResult);
    EXPECT_STREQ(c->versions[CClientInterface::VersionClient], "") << "values stay untouched on failure";
    EXPECT_EQ(c->login("demo", "demo123") == 0, GetParam().loginWorks);
    service->setFault("none");
    ASSERT_TRUE(service->waitListening(5000));
    EXPECT_EQ(c->getVersion(), LegacySuccess) << "recovers once the fault is gone";
}

INSTANTIATE_TEST_SUITE_P(
    Modes, FaultModes,
    ::testing::Values(FaultCase{"garbage", LegacyBadData, false}, FaultCase{"truncated", LegacyBadData, false},
                      FaultCase{"wrongword", LegacyBadData, false}, FaultCase{"http500", LegacyBadData, false},
                      FaultCase{"empty", LegacyCouldNotOpen, false}, FaultCase{"refuse", LegacyBadData, false}),
    [](const auto& info) { return std::string(info.param.mode); });

TEST_F(ServiceFaults, CutOffRouteAnswerLeavesNoHalfBooking)
{
    auto c = newClient(true);
    ASSERT_TRUE(service->setFault("truncated"));
    EXPECT_EQ(c->getRoute(), LegacyBadData);
    EXPECT_STREQ(c->route.r_Dep, "");
    EXPECT_STREQ(c->aircraft.a_Registration, "");
}

// A service that stops sending fails the call at the stall timeout; one that
// trickles an endless answer, which no stall timeout catches, at the overall
// deadline. Either way the pilot's login click comes back with a timeout.
struct SlowCase {
    const char* name;
    const char* mode;
    unsigned faultMs;
    std::uint32_t receiveTimeoutMs;
    std::uint32_t totalTimeoutMs;
};

class SlowService : public ServiceFaults, public ::testing::WithParamInterface<SlowCase> {};

TEST_P(SlowService, LoginComesBackWithATimeout)
{
    const SlowCase& c = GetParam();
    auto client = newClient(false);
    CTransportOptions o = CHttpTransport::options();
    o.receiveTimeoutMs = c.receiveTimeoutMs;
    o.totalTimeoutMs = c.totalTimeoutMs;
    CHttpTransport::setOptions(o);
    HeardLines heard;
    ASSERT_TRUE(service->setFault(c.mode, c.faultMs));
    EXPECT_NE(client->login("demo", "demo123"), 0);
    EXPECT_EQ(heard.count("/api/login timed out"), 1);
    service->setFault("none");
    EXPECT_EQ(client->login("demo", "demo123"), 0) << "the next call works again";
}

INSTANTIATE_TEST_SUITE_P(Table, SlowService,
                         ::testing::Values(SlowCase{"Stalled", "delay", 600000, 1000, 120000},
                                           SlowCase{"Trickling", "trickle", 50, 1000, 2500}),
                         [](const auto& info) { return std::string(info.param.name); });

// Exit with a stalled service: the background send in flight is cancelled
// once the grace is over, so the client ends, and frees its data folder for
// the next start or the installer, on time.
TEST_F(ServiceFaults, StalledBackgroundSendEndsRightAfterTheGrace)
{
    CServerAddress::set(service->url());
    ASSERT_TRUE(service->setFault("delay", 600000));
    CBackgroundSender sender;
    sender.post("function=writelog&intern_ts=1");
    ASSERT_FALSE(sender.waitIdle(300)) << "the send is in flight";
    const auto start = std::chrono::steady_clock::now();
    sender.stop(1000);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, std::chrono::milliseconds(3000));
    service->setFault("none");
    CServerAddress::set(CServerAddress::kDefaultUrl);
}

// A send cancelled by another thread (which closes its handles) on the
// connection its thread keeps: the thread's next send takes a fresh one.
TEST_F(ServiceFaults, CancelledSendLeavesItsThreadAWorkingConnection)
{
    const std::string url = service->url();
    const std::string body = "function=getversion&intern_ts=1";
    std::atomic<bool> cancel{false};
    std::string response;
    const auto send = [&] {
        return CHttpTransport::httpRequestTo(url, CLegacyEndpoint::kMaxAnswer, CLegacyEndpoint::kPath, body.c_str(),
                                             response, &cancel);
    };
    ASSERT_GE(send(), 0) << response;
    ASSERT_TRUE(service->setFault("delay", 600000));
    std::thread canceller([&cancel] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        cancel = true;
    });
    EXPECT_LT(send(), 0);
    canceller.join();
    service->setFault("none");
    cancel = false;
    EXPECT_GE(send(), 0) << response;
}

// No CA file, or one naming another authority: the service's certificate is
// refused with a log line before a single byte of the request, whose line
// carries the pilot's token on a GET, reaches the service, even right after
// a call that trusted it through its CA file (no warm connection carries over).
class CertificateTrust : public ServiceFaults, public ::testing::WithParamInterface<const char*> {
protected:
    static std::size_t requestLines()
    {
#ifdef _WIN32
        return DemoFlightReport::readUploads(service->uploadLog(), "request").size();
#else
        return receivedCount();
#endif
    }
};

TEST_P(CertificateTrust, UnknownAuthorityIsRefusedUntilItsCaFileIsSet)
{
    auto c = newClient(false);
    CServerSettings::fromValues(service->url(), "", "", service->caFile()).applyToTransport();
    ASSERT_EQ(c->getVersion(), LegacySuccess);
    CTransportOptions o;
    o.caFile = GetParam();
    CHttpTransport::setOptions(o);
    HeardLines heard; // the log file folds the repeated refusal
    const std::size_t before = requestLines();
    EXPECT_EQ(c->getVersion(), LegacyBadData);
    EXPECT_NE(c->getPilotData(), 0) << "a GET, whose line would carry the token, fails too";
    EXPECT_EQ(requestLines(), before) << "no request line reached the service";
    EXPECT_EQ(heard.count("not trusted, request refused"), 2);

    CServerSettings::fromValues(service->url(), "", "", service->caFile()).applyToTransport();
    EXPECT_EQ(c->getVersion(), LegacySuccess);
    EXPECT_EQ(requestLines(), before + 1) << "the service logs what it receives";
}

INSTANTIATE_TEST_SUITE_P(CaFiles, CertificateTrust,
                         ::testing::Values("", QVL_SOURCE_DIR "/tests/data/unrelated-ca.pem"),
                         [](const auto& info) { return std::string(info.index == 0 ? "None" : "Unrelated"); });

TEST_F(ServiceFaults, UnreadableCaFileFailsTheRequest)
{
    auto c = newClient(false);
    CServerSettings::fromValues("", "", "", "/nonexistent/ca.pem").applyToTransport();
    EXPECT_EQ(c->getVersion(), LegacyBadData);
}

TEST_F(ServiceFaults, PlainSchemeAndNoSchemeStillUseTls)
{
    const std::string hostPort = "127.0.0.1:" + std::to_string(service->port());
    for (const std::string& url : {"http://" + hostPort, hostPort}) {
        auto c = newClient(false);
        c->setServerUrl(url);
        EXPECT_EQ(c->getVersion(), LegacySuccess) << url;
    }
    auto c = newClient(false);
    c->applyServerSettings(
        CServerSettings::fromValues("https://std.invalid", "https://" + hostPort, "", service->caFile()), 2);
    EXPECT_EQ(c->getServerUrl(), "http://" + hostPort);
    EXPECT_EQ(c->getVersion(), LegacySuccess);
}

#ifndef _WIN32
TEST(MachineIdentifier, EightUpperCaseHexDigitsStableAcrossRuns)
{
    const std::string here = createPlatformSystemInfo()->machineId();
    EXPECT_TRUE(std::regex_match(here, std::regex("[0-9A-F]{8}"))) << here;
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const std::string id = createPlatformSystemInfo()->machineId();
        (void)!::write(pipeFds[1], id.data(), id.size());
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    char buf[32] = {};
    const ssize_t n = ::read(pipeFds[0], buf, sizeof buf - 1);
    ::close(pipeFds[0]);
    ::waitpid(child, nullptr, 0);
    EXPECT_EQ(std::string(buf, n > 0 ? static_cast<std::size_t>(n) : 0), here);
}
#endif

} // namespace
