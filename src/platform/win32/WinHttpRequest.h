// One HTTPS exchange over WinHTTP, shared by the HTTP client and the
// downloader: connect, stall and overall deadlines, TLS verified against the
// Windows authorities and, when a CA file is named, against that authority
// too, checked here from the server's chain before any byte of the request is sent.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

struct WinHttpTarget {
    std::string host;
    int port = 443;
    std::string verb = "GET";
    std::string path = "/";
    std::string headers; // "Name: value\r\n" lines
    std::string caFile;
    std::string userAgent = "Quenvale";
    std::uint32_t connectTimeoutMs = 60000;
    std::uint32_t sendTimeoutMs = 30000;
    std::uint32_t receiveTimeoutMs = 30000;
    std::uint32_t totalTimeoutMs = 0; // 0 = no overall deadline
    bool followRedirects = false;
    // Set by another thread to end the request at once (a client that exits).
    const std::atomic<bool>* cancel = nullptr;
    // Reuse the calling thread's session and connection to the same server;
    // any failure or cancel drops them for a fresh one. Ignored with a CA
    // file: a connection whose handshake let the root through for our own
    // check never outlives its request, so no other request can be served on it.
    bool keepConnection = false;
};

struct WinHttpOutcome {
    bool ok = false; // a complete answer arrived
    int status = 0;
    std::uint64_t contentLength = 0; // 0 when the answer did not say
    std::string errorText;
    unsigned long error = 0;
    bool certificateRejected = false;
    bool timedOut = false;
    bool stopped = false; // the body sink asked to stop
    bool cancelled = false; // the target's cancel flag ended it
};

class WinHttpRequest {
public:
    // Receives the answer's body in pieces, on the calling thread or, for a
    // cancellable target, under a lock that cancelling takes too, so that it
    // is never called once exchange has returned. Answering false stops the transfer.
    using BodySink = std::function<bool(const char* data, std::size_t size, const WinHttpOutcome& sofar)>;

    static WinHttpOutcome exchange(const WinHttpTarget& target, const std::string& body, const BodySink& sink);
};
