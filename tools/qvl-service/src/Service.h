// The service stand-in: HTTPS on loopback with its own certificate, the legacy
// and JSON endpoints over the SQLite store, a record of every raw request, and
// the fault modes of the data folder's switch file.
#pragma once

#include "ServiceCertificates.h"
#include "ServiceFaults.h"
#include "ServiceStore.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace httplib {
class SSLServer;
struct Request;
struct Response;
} // namespace httplib

struct CServiceOptions {
    std::string host = "127.0.0.1";
    int port = 8443; // 0 = any free port
    std::string dataFolder = ".";
    std::string airportsFile = QVL_SERVICE_AIRPORTS;
    std::string uploadLog; // also write every upload here (see CServiceStore::mirrorUploadsTo)
};

class CService {
public:
    explicit CService(CServiceOptions options);
    ~CService();

    // Data folder, certificates, database, airports, demo data on first start.
    bool prepare();
    // Binds, writes the port into "<data>/port" and serves until stop().
    bool start();
    void stop();

    int port() const { return boundPort; }
    const std::string& error() const { return lastError; }
    CServiceStore& store() { return db; }
    std::string caFile() const { return certificates.caFile(); }

private:
    bool listen();
    void unlisten();
    void watchFaults();
    std::unique_ptr<httplib::SSLServer> makeServer();
    void handleLegacy(const httplib::Request& req, httplib::Response& res);
    void answer(httplib::Response& res, int status, std::string body, const char* contentType, bool framed,
                const std::string& function);
    // An answer of that many bytes: the real one, then filler.
    void huge(httplib::Response& res, std::string body, const char* contentType, std::size_t bytes);
    // The connection ends before the announced answer is complete (half of it,
    // or none of it: the request was carried out but its answer is lost).
    void cutOff(httplib::Response& res, std::string body, const char* contentType, bool half);
    // Sleeps through a delay fault; false when the service is stopping.
    bool delay(const CServiceFaults::State& fault);
    // Sends the answer a byte at a time without end, until the client goes,
    // the fault is switched off or the service stops.
    void trickle(httplib::Response& res, std::string body, const char* contentType, std::uint32_t pauseMs);
    // A whole file in 64 KiB pieces 20 ms apart, as over a real line.
    void paced(httplib::Response& res, std::string body);

    CServiceOptions opts;
    CServiceCertificates certificates;
    CServiceFaults faults;
    CServiceStore db;
    std::unique_ptr<httplib::SSLServer> server;
    std::thread serverThread;
    std::thread faultThread;
    std::mutex mutex;
    std::condition_variable wake;
    std::atomic<bool> stopping{false};
    int boundPort = 0;
    std::string lastError;
};
