// One request to the service at the process-wide server address, over the
// platform's HTTP client: verb and content type chosen by the body, TLS on the
// URL's port (443 by default) whatever its scheme. Also holds the transport
// options every request shares: the extra trusted authority and the timeouts.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

struct CTransportOptions {
    std::string caFile;
    std::uint32_t connectTimeoutMs = 60000;
    std::uint32_t sendTimeoutMs = 30000;
    std::uint32_t receiveTimeoutMs = 30000;
    // Ends a request whose answer trickles in for ever; the stall timeouts
    // never fire while bytes keep moving.
    std::uint32_t totalTimeoutMs = 120000;
};

struct CServerEndpoint {
    std::string host;
    int port = 443;
};

class CHttpTransport {
public:
    // Sends one request; body nullptr makes a GET. The response is emptied and
    // then holds at most maxAppend characters of the answer. Returns -1 on any
    // failure (response then holds an error line) and otherwise the number of
    // characters kept.
    static int httpRequest(std::size_t maxAppend, const std::string& path, const char* body, std::string& response);
    // The same against an explicit server URL (background senders pass the
    // copy they took); cancel, when given, ends the request once it is set.
    static int httpRequestTo(const std::string& serverUrl, std::size_t maxAppend, const std::string& path,
                             const char* body, std::string& response, const std::atomic<bool>* cancel = nullptr);

    // Host and port of a server URL: the scheme "https://" or "http://" is
    // dropped, a trailing path ignored, ":port" honoured.
    static CServerEndpoint parseServerUrl(const std::string& url);

    static void setOptions(const CTransportOptions& options);
    static CTransportOptions options();
};
