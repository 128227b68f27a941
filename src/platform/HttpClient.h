// The HTTP client seam: one HTTPS request, blocking, with its own connection.
// The core never sees the platform library; it fills an HttpRequest and reads
// an HttpResponse.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

struct HttpRequest {
    std::string host; // name or address, no scheme, no port
    int port = 443;
    std::string verb = "GET"; // "GET" or "POST"
    std::string path = "/";   // path with any query
    std::string contentType;
    std::string body;
    std::string caFile; // extra trusted authority (PEM); empty = system store only
    std::string userAgent = "Quenvale";
    std::uint32_t connectTimeoutMs = 60000;
    std::uint32_t sendTimeoutMs = 30000;
    std::uint32_t receiveTimeoutMs = 30000;
    // The whole request, however steadily the bytes move (0 = none).
    std::uint32_t totalTimeoutMs = 120000;
    std::size_t maxResponseBytes = 1 << 20; // the rest of a longer answer is read and dropped
    // Set by another thread to end the request at once (a client that exits).
    const std::atomic<bool>* cancel = nullptr;
};

struct HttpResponse {
    bool ok = false; // a complete HTTP answer arrived (any status)
    int status = 0;
    std::string body;                 // at most maxResponseBytes
    bool truncated = false;           // the answer was longer than maxResponseBytes
    std::string errorText;            // why the request failed
    long platformError = 0;           // the platform library's error number
    bool certificateRejected = false; // the peer's certificate failed verification
    bool timedOut = false;
};

class HttpClient {
public:
    virtual ~HttpClient() = default;
    virtual HttpResponse send(const HttpRequest& request) = 0;
};

// The process's HTTP client; until one is installed every request fails.
HttpClient& httpClient();
// Installs a client (not owned); nullptr restores the failing one.
void setHttpClient(HttpClient* client);
// The platform's own implementation (CurlHttpClient.cpp / WinHttpClient.cpp).
std::unique_ptr<HttpClient> createPlatformHttpClient();
