// How a server URL becomes host and port, and the verb and content type a
// body selects, seen through a recording HTTP client.
#include "core/ServerAddress.h"
#include "platform/HttpClient.h"
#include "server/HttpTransport.h"
#include "server/ServerSettings.h"
#include "support/LogCapture.h"
#include "support/SpecialFile.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <unistd.h>

namespace {

struct UrlCase {
    const char* url;
    const char* host;
    int port;
};

class ServerUrls : public ::testing::TestWithParam<UrlCase> {};

TEST_P(ServerUrls, SchemeIsDroppedAndPortDefaultsTo443)
{
    const CServerEndpoint e = CHttpTransport::parseServerUrl(GetParam().url);
    EXPECT_EQ(e.host, GetParam().host);
    EXPECT_EQ(e.port, GetParam().port);
}

INSTANTIATE_TEST_SUITE_P(Urls, ServerUrls,
                         ::testing::Values(UrlCase{"https://api.quenvale.example", "api.quenvale.example", 443},
                                           UrlCase{"http://api.quenvale.example", "api.quenvale.example", 443},
                                           UrlCase{"api.quenvale.example", "api.quenvale.example", 443},
                                           UrlCase{"https://127.0.0.1:8443", "127.0.0.1", 8443},
                                           UrlCase{"http://localhost:9000/", "localhost", 9000},
                                           UrlCase{"https://x.example/sub/path", "x.example", 443},
                                           UrlCase{"https://x.example:99999", "x.example", 443}));

class RecordingClient final : public HttpClient {
public:
    HttpResponse send(const HttpRequest& r) override
    {
        last = r;
        HttpResponse a;
        a.ok = true;
        a.status = 200;
        a.body = answer;
        return a;
    }
    HttpRequest last;
    std::string answer = "0123456789";
};

class TransportThroughRecorder : public ::testing::Test {
protected:
    void SetUp() override
    {
        setHttpClient(&client);
        CServerAddress::set("http://relay.quenvale.example:8443");
    }
    void TearDown() override
    {
        setHttpClient(nullptr);
        CServerAddress::set(CServerAddress::kDefaultUrl);
    }
    RecordingClient client;
};

struct BodyCase {
    const char* body; // nullptr = none
    const char* verb;
    const char* contentType;
};

class BodySelectsVerb : public TransportThroughRecorder, public ::testing::WithParamInterface<BodyCase> {};

TEST_P(BodySelectsVerb, VerbAndContentType)
{
    std::string response;
    ASSERT_GE(CHttpTransport::httpRequest(100, "/p", GetParam().body, response), 0);
    EXPECT_EQ(client.last.verb, GetParam().verb);
    EXPECT_EQ(client.last.contentType, GetParam().contentType);
    EXPECT_EQ(client.last.host, "relay.quenvale.example");
    EXPECT_EQ(client.last.port, 8443);
    EXPECT_EQ(client.last.userAgent, "Quenvale");
}

INSTANTIATE_TEST_SUITE_P(Bodies, BodySelectsVerb,
                         ::testing::Values(BodyCase{nullptr, "GET", "application/json"},
                                           BodyCase{"{\"a\":1}", "POST", "application/json"},
                                           BodyCase{"function=x", "POST", "application/x-www-form-urlencoded"},
                                           BodyCase{" {", "POST", "application/x-www-form-urlencoded"}));

TEST_F(TransportThroughRecorder, AnswerIsCutToMaxAppend)
{
    std::string response = "stale";
    EXPECT_EQ(CHttpTransport::httpRequest(4, "/p", nullptr, response), 4);
    EXPECT_EQ(response, "0123");
    EXPECT_EQ(client.last.maxResponseBytes, 4u);
}

TEST_F(TransportThroughRecorder, FailureGivesErrorLineAndMinusOne)
{
    setHttpClient(nullptr);
    std::string response;
    EXPECT_EQ(CHttpTransport::httpRequest(100, "/p", "x", response), -1);
    EXPECT_EQ(response, "Error -1 has occurred.\n");
}

TEST_F(TransportThroughRecorder, CaFileAndTimeoutsReachTheRequest)
{
    CTransportOptions saved = CHttpTransport::options();
    CServerSettings::fromValues("", "", "", "/tmp/ca.pem").applyToTransport();
    CTransportOptions o = CHttpTransport::options();
    o.receiveTimeoutMs = 1234;
    CHttpTransport::setOptions(o);
    std::string response;
    CHttpTransport::httpRequest(100, "/p", nullptr, response);
    EXPECT_EQ(client.last.caFile, "/tmp/ca.pem");
    EXPECT_EQ(client.last.receiveTimeoutMs, 1234u);
    EXPECT_EQ(client.last.connectTimeoutMs, 60000u);
    EXPECT_EQ(client.last.totalTimeoutMs, 120000u) << "every request has an overall deadline";
    CHttpTransport::setOptions(saved);
}

TEST_F(TransportThroughRecorder, AFifoAsCaFileIsRefusedInsteadOfBlockingEveryRequest)
{
    LogCapture logs;
    const CTransportOptions saved = CHttpTransport::options();
    const std::string fifo = (std::filesystem::temp_directory_path() / ("qvl-ca-" + std::to_string(::getpid()))).string();
    ASSERT_TRUE(makeSpecialFile(fifo));
    CServerSettings::fromValues("", "", "", fifo).applyToTransport();
    std::string response;
    CHttpTransport::httpRequest(100, "/p", nullptr, response);
    std::filesystem::remove(fifo);
    EXPECT_EQ(client.last.caFile, "");
    EXPECT_TRUE(logs.contains("CAFile " + fifo + " not used: not a regular file"));
    CHttpTransport::setOptions(saved);
}

struct AltCase {
    long alt;
    const char* url;
};

class AltServer : public ::testing::TestWithParam<AltCase> {};

TEST_P(AltServer, PicksStandardOrRelayAddress)
{
    const CServerSettings s = CServerSettings::fromValues("https://std.example:1", "https://relay.example:2", "", "");
    EXPECT_EQ(s.urlForAltServer(GetParam().alt), GetParam().url);
}

INSTANTIATE_TEST_SUITE_P(Choices, AltServer,
                         ::testing::Values(AltCase{0, "https://std.example:1"}, AltCase{1, "https://relay.example:2"},
                                           AltCase{2, "http://relay.example:2"}, AltCase{3, "https://std.example:1"},
                                           AltCase{-1, "https://std.example:1"}));

TEST(ServerSettings, EmptyValuesKeepDefaults)
{
    const CServerSettings s = CServerSettings::fromValues("", "", "", "");
    EXPECT_EQ(s.url, "https://api.quenvale.example");
    EXPECT_EQ(s.urlForAltServer(2), "http://relay.quenvale.example");
    EXPECT_EQ(s.webUrl, "https://www.quenvale.example/");
}

} // namespace

#include "server/BackgroundSender.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

namespace {

class QueueRecorder final : public HttpClient {
public:
    HttpResponse send(const HttpRequest& r) override
    {
        std::lock_guard<std::mutex> lock(mutex);
        seen.push_back(r.host + " " + r.verb + " " + r.path + " " + r.body);
        HttpResponse a;
        a.ok = true;
        a.status = 200;
        a.body = "DATASTART\nSUCCESS\nDATAEND\n";
        return a;
    }
    std::mutex mutex;
    std::vector<std::string> seen;
};

TEST(BackgroundSender, SendsInOrderToTheAddressCurrentWhenEachStarts)
{
    QueueRecorder recorder;
    setHttpClient(&recorder);
    CServerAddress::set("https://one.example");
    {
        CBackgroundSender sender;
        sender.post("function=writelog&n=1");
        sender.post("function=updateawards&n=2");
        ASSERT_TRUE(sender.waitIdle(5000));
        CServerAddress::set("https://two.example");
        sender.post("function=writelog&n=3");
        ASSERT_TRUE(sender.waitIdle(5000));
        EXPECT_EQ(sender.sentCount(), 3u);
    }
    setHttpClient(nullptr);
    CServerAddress::set(CServerAddress::kDefaultUrl);
    ASSERT_EQ(recorder.seen.size(), 3u);
    EXPECT_EQ(recorder.seen[0], "one.example POST /client_interface3.php function=writelog&n=1");
    EXPECT_EQ(recorder.seen[1], "one.example POST /client_interface3.php function=updateawards&n=2");
    EXPECT_EQ(recorder.seen[2], "two.example POST /client_interface3.php function=writelog&n=3");
}

TEST(BackgroundSender, DestructionSendsWhatIsQueued)
{
    QueueRecorder recorder;
    setHttpClient(&recorder);
    {
        CBackgroundSender sender;
        for (int i = 0; i < 20; ++i)
            sender.post("function=writelog&n=" + std::to_string(i));
    }
    setHttpClient(nullptr);
    ASSERT_EQ(recorder.seen.size(), 20u);
    EXPECT_NE(recorder.seen.back().find("n=19"), std::string::npos);
}

// A stalled service at exit: the request in flight is ended after the grace
// and the rest is dropped, so the client never outlives its "Exit".
class StalledClient final : public HttpClient {
public:
    HttpResponse send(const HttpRequest& r) override
    {
        ++calls;
        for (int i = 0; i < 20000 && !(r.cancel != nullptr && r.cancel->load()); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        cancelled = r.cancel != nullptr && r.cancel->load();
        return HttpResponse{};
    }
    std::atomic<int> calls{0};
    std::atomic<bool> cancelled{false};
};

TEST(BackgroundSender, AStalledServiceGetsTheGraceAndNoMore)
{
    StalledClient stalled;
    setHttpClient(&stalled);
    {
        CBackgroundSender sender;
        for (int i = 0; i < 3; ++i)
            sender.post("function=writelog&n=" + std::to_string(i));
        sender.stop(50);
        sender.post("function=updateawards");
    }
    setHttpClient(nullptr);
    EXPECT_EQ(stalled.calls, 1);
    EXPECT_TRUE(stalled.cancelled);
}

} // namespace
