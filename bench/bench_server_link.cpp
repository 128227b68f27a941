// The server link's own cost: one legacy call round trip over loopback TLS to
// a real qvl-service on the kept connection and on a fresh one, set beside a
// bare libcurl POST of the same body to the same server; plus the frame
// parser and the request code on their own.
//
// Uses a running service when QVL_SERVICE_URL and QVL_SERVICE_CA are set,
// otherwise starts ../tools/qvl-service/qvl-service next to this program.
#include "platform/HttpClient.h"
#include "server/ClientInterface.h"
#include "server/HttpTransport.h"
#include "server/LegacyFrame.h"
#include "server/RequestCode.h"
#include "support/TempDataFolder.h"

#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

struct Service {
    std::string url;
    std::string ca;
    pid_t pid = -1;
    std::string folder;

    bool start()
    {
        if (const char* u = std::getenv("QVL_SERVICE_URL")) {
            url = u;
            ca = std::getenv("QVL_SERVICE_CA") != nullptr ? std::getenv("QVL_SERVICE_CA") : "";
            return true;
        }
        const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe");
        const std::string program = (self.parent_path().parent_path() / "tools/qvl-service/qvl-service").string();
        char pattern[] = "/tmp/qvl-bench-XXXXXX";
        folder = ::mkdtemp(pattern);
        std::string a0 = program, a1 = "start", a2 = "--port", a3 = "0", a4 = "--data", a5 = folder;
        char* argv[] = {a0.data(), a1.data(), a2.data(), a3.data(), a4.data(), a5.data(), nullptr};
        if (::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ) != 0)
            return false;
        for (int i = 0; i < 600; ++i) {
            std::ifstream in(folder + "/port");
            int port = 0;
            if (in >> port && port > 0) {
                url = "https://127.0.0.1:" + std::to_string(port);
                ca = folder + "/ca.pem";
                std::this_thread::sleep_for(std::chrono::milliseconds(200));
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }

    ~Service()
    {
        if (pid > 0) {
            ::kill(pid, SIGTERM);
            ::waitpid(pid, nullptr, 0);
            std::error_code ec;
            std::filesystem::remove_all(folder, ec);
        }
    }
};

Service& service()
{
    static TempDataFolder folder; // the client's logs go there, not into the working directory
    static Service s;
    static const bool started = [] {
        static std::unique_ptr<HttpClient> client = createPlatformHttpClient();
        setHttpClient(client.get());
        return s.start();
    }();
    (void)started;
    return s;
}

// The client's calls go to the stand-in service, trusting its CA.
void useService(CClientInterface& client)
{
    Service& s = service();
    CTransportOptions o;
    o.caFile = s.ca;
    CHttpTransport::setOptions(o);
    client.setServerUrl(s.url);
}

void BM_LegacyCallRoundTrip(benchmark::State& state)
{
    CClientInterface client;
    useService(client);
    for (auto _ : state) {
        if (client.getVersion() != 0) {
            state.SkipWithError("getversion failed");
            break;
        }
    }
}
BENCHMARK(BM_LegacyCallRoundTrip)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The same call on a connection of its own: each runs on a new thread, whose
// HTTP handle starts without a connection. Set beside the call above it gives
// what a kept connection saves.
void BM_LegacyCallFreshConnection(benchmark::State& state)
{
    CClientInterface client;
    useService(client);
    for (auto _ : state) {
        int result = -1;
        std::thread([&] { result = client.getVersion(); }).join();
        if (result != 0) {
            state.SkipWithError("getversion failed");
            break;
        }
    }
}
// The call runs on another thread: the time that counts is the wall clock.
BENCHMARK(BM_LegacyCallFreshConnection)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

std::size_t discard(char*, std::size_t size, std::size_t count, void*)
{
    return size * count;
}

void BM_BareCurlPost(benchmark::State& state)
{
    Service& s = service();
    CClientInterface probe; // same body as the legacy call
    const std::string body = "function=getversion&intern_ts=" + std::to_string(probe.intern_ts);
    const std::string url = s.url + "/client_interface3.php";
    for (auto _ : state) {
        CURL* curl = curl_easy_init();
        curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
        curl_easy_setopt(curl, CURLOPT_CAINFO, s.ca.c_str());
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.c_str());
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, discard);
        const CURLcode rc = curl_easy_perform(curl);
        curl_easy_cleanup(curl);
        if (rc != CURLE_OK) {
            state.SkipWithError(curl_easy_strerror(rc));
            break;
        }
    }
}
BENCHMARK(BM_BareCurlPost)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_LegacyFrameParseRoute(benchmark::State& state)
{
    std::string answer = "DATASTART\nSUCCESS\n";
    for (int i = 0; i < 96; ++i) {
        answer.append(i ? "|col_" : "col_");
        answer.append(std::to_string(i));
    }
    answer += "\n";
    for (int i = 0; i < 96; ++i) {
        answer.append(i ? "|" : "");
        answer.append(std::to_string(i * 1234.5));
    }
    answer += "\nDATAEND\n";
    CLegacyFrame frame;
    for (auto _ : state) {
        bool raw = false;
        benchmark::DoNotOptimize(frame.parse(answer, raw));
        benchmark::DoNotOptimize(frame.getDouble("col_95", 0));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * answer.size()));
}
BENCHMARK(BM_LegacyFrameParseRoute);

void BM_RequestCodeOfReport(benchmark::State& state)
{
    const std::string text = "function=writereport&intern_ts=4711&" + std::string(2500, 'x');
    for (auto _ : state)
        benchmark::DoNotOptimize(requestCode(text));
}
BENCHMARK(BM_RequestCodeOfReport);

} // namespace

BENCHMARK_MAIN();
