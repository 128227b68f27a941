// HttpClient on libcurl with OpenSSL: one easy handle per thread, so its
// connection to the service is kept between requests; TLS always verified
// against the system authorities plus the CA file's, stall timeouts for
// sending and receiving, and an overall deadline.
#include "platform/HttpClient.h"

#include <curl/curl.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <chrono>
#include <mutex>
#include <string>

namespace {

using SteadyClock = std::chrono::steady_clock;

struct Exchange {
    CURL* curl = nullptr;
    const HttpRequest* request = nullptr;
    HttpResponse* response = nullptr;
    SteadyClock::time_point lastMove = SteadyClock::now();
    curl_off_t lastUp = -1;
    curl_off_t lastDown = -1;
    bool stalled = false;
    bool caFileRejected = false;
};

std::size_t onBody(char* data, std::size_t size, std::size_t count, void* user)
{
    auto* t = static_cast<Exchange*>(user);
    const std::size_t len = size * count;
    std::string& body = t->response->body;
    const std::size_t room =
        t->request->maxResponseBytes > body.size() ? t->request->maxResponseBytes - body.size() : 0;
    if (len > room)
        t->response->truncated = true;
    body.append(data, len < room ? len : room);
    return len;
}

// Aborts a transfer that has not moved a byte for the send or receive timeout.
// The connection phase (TCP and TLS) is bounded by the connect timeout instead.
int onExchangeProgress(void* user, curl_off_t, curl_off_t down, curl_off_t, curl_off_t up)
{
    auto* t = static_cast<Exchange*>(user);
    if (t->request->cancel != nullptr && t->request->cancel->load())
        return 1;
    // Connected once the request is about to go out: after the TLS handshake
    // on a new connection, at once on a kept one.
    curl_off_t tlsDone = 0;
    curl_off_t sendBegun = 0;
    curl_easy_getinfo(t->curl, CURLINFO_APPCONNECT_TIME_T, &tlsDone);
    curl_easy_getinfo(t->curl, CURLINFO_PRETRANSFER_TIME_T, &sendBegun);
    const auto now = SteadyClock::now();
    if ((tlsDone == 0 && sendBegun == 0) || up != t->lastUp || down != t->lastDown) {
        t->lastUp = up;
        t->lastDown = down;
        t->lastMove = now;
        return 0;
    }
    const bool sending = static_cast<std::size_t>(up) < t->request->body.size();
    const std::uint32_t limit = sending ? t->request->sendTimeoutMs : t->request->receiveTimeoutMs;
    const auto idle = std::chrono::duration_cast<std::chrono::milliseconds>(now - t->lastMove).count();
    if (idle >= static_cast<long long>(limit)) {
        t->stalled = true;
        return 1;
    }
    return 0;
}

// The trust store of the current CA file setting: the system authorities plus
// the extra file. Parsing the system bundle costs more than a whole loopback
// request, so the store is built once per setting and shared; each TLS
// context takes its own reference, so replacing the cached one is safe.
class TrustStoreCache {
public:
    ~TrustStoreCache()
    {
        if (store != nullptr)
            X509_STORE_free(store);
    }

    // A new reference to the store for caFile (the caller frees it), or
    // nullptr when the file cannot be loaded.
    X509_STORE* acquire(const std::string& caFile)
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (store == nullptr || path != caFile) {
            X509_STORE* fresh = build(caFile);
            if (fresh == nullptr)
                return nullptr; // not cached: the file may appear later
            if (store != nullptr)
                X509_STORE_free(store);
            store = fresh;
            path = caFile;
        }
        X509_STORE_up_ref(store);
        return store;
    }

private:
    static X509_STORE* build(const std::string& caFile)
    {
        X509_STORE* s = X509_STORE_new();
        if (s == nullptr)
            return nullptr;
        X509_STORE_set_default_paths(s);
        if (!caFile.empty() && X509_STORE_load_locations(s, caFile.c_str(), nullptr) != 1) {
            X509_STORE_free(s);
            return nullptr;
        }
        return s;
    }

    std::mutex mutex;
    std::string path;
    X509_STORE* store = nullptr;
};

// Made on first use, after OpenSSL started, so it is torn down before
// OpenSSL's own exit handler runs.
TrustStoreCache& trustStores()
{
    static TrustStoreCache cache;
    return cache;
}

CURLcode onSslContext(CURL*, void* sslContext, void* user)
{
    auto* t = static_cast<Exchange*>(user);
    X509_STORE* store = trustStores().acquire(t->request->caFile);
    if (store == nullptr) {
        t->caFileRejected = true;
        return CURLE_SSL_CACERT_BADFILE;
    }
    SSL_CTX_set_cert_store(static_cast<SSL_CTX*>(sslContext), store); // takes our reference
    return CURLE_OK;
}

// The thread's easy handle and the connection it keeps. A handle is only
// reused for the CA file it verified its connection with, and is dropped
// after any failure, so the next request starts on a fresh connection.
struct KeptHandle {
    CURL* curl = nullptr;
    std::string caFile;

    ~KeptHandle() { drop(); }
    void drop()
    {
        if (curl != nullptr)
            curl_easy_cleanup(curl);
        curl = nullptr;
    }
    CURL* take(const std::string& forCaFile)
    {
        if (curl != nullptr && caFile != forCaFile)
            drop();
        if (curl == nullptr)
            curl = curl_easy_init();
        else
            curl_easy_reset(curl); // keeps the connection, forgets the last request's options
        caFile = forCaFile;
        return curl;
    }
};

class CurlHttpClient final : public HttpClient {
public:
    CurlHttpClient()
    {
        static std::once_flag once;
        std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    }

    HttpResponse send(const HttpRequest& request) override
    {
        thread_local KeptHandle kept;
        HttpResponse response;
        CURL* curl = kept.take(request.caFile);
        if (curl == nullptr) {
            response.errorText = "curl_easy_init failed";
            response.platformError = CURLE_FAILED_INIT;
            return response;
        }
        Exchange t;
        t.curl = curl;
        t.request = &request;
        t.response = &response;
        char errorBuffer[CURL_ERROR_SIZE] = {};
        curl_slist* headers = buildHeaders(request);
        const std::string url = "https://" + request.host + ":" + std::to_string(request.port) + request.path;

        configure(curl, request, url, headers, errorBuffer, t);
        const CURLcode rc = curl_easy_perform(curl);
        finish(curl, rc, errorBuffer, t);

        curl_slist_free_all(headers);
        // The options point at this call's buffers.
        curl_easy_setopt(curl, CURLOPT_HTTPHEADER, nullptr);
        curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, nullptr);
        if (!response.ok || response.status < 200 || response.status >= 300)
            kept.drop();
        return response;
    }

private:
    static curl_slist* buildHeaders(const HttpRequest& request)
    {
        curl_slist* headers = nullptr;
        if (!request.contentType.empty())
            headers = curl_slist_append(headers, ("Content-Type: " + request.contentType).c_str());
        // No "Expect: 100-continue" round trip for larger bodies.
        headers = curl_slist_append(headers, "Expect:");
        return headers;
    }

    static void configure(CURL* curl, const HttpRequest& request, const std::string& url, curl_slist* headers,
                          char* errorBuffer, Exchange& t)
    {
        curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
        curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "https");
        curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(curl, CURLOPT_USERAGENT, request.userAgent.c_str());
        curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
        curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer);
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(request.connectTimeoutMs));
        curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(request.totalTimeoutMs));
        curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, onExchangeProgress);
        curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &t);
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, onBody);
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, &t);
        // The store comes from the cache, so curl need not read the bundle.
        curl_easy_setopt(curl, CURLOPT_CAINFO, nullptr);
        curl_easy_setopt(curl, CURLOPT_CAPATH, nullptr);
        curl_easy_setopt(curl, CURLOPT_SSL_CTX_FUNCTION, onSslContext);
        curl_easy_setopt(curl, CURLOPT_SSL_CTX_DATA, &t);
        if (request.verb == "POST") {
            curl_easy_setopt(curl, CURLOPT_POST, 1L);
            curl_easy_setopt(curl, CURLOPT_POSTFIELDS, request.body.c_str());
            curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size()));
        } else {
            curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
        }
    }

    static void finish(CURL* curl, CURLcode rc, const char* errorBuffer, const Exchange& t)
    {
        HttpResponse& response = *t.response;
        if (rc == CURLE_OK) {
            long status = 0;
            curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
            response.ok = true;
            response.status = static_cast<int>(status);
            return;
        }
        response.platformError = rc;
        response.errorText = errorBuffer[0] != '\0' ? errorBuffer : curl_easy_strerror(rc);
        if (t.stalled) {
            response.platformError = CURLE_OPERATION_TIMEDOUT;
            response.errorText = "no data moved within the send/receive timeout";
        }
        if (t.caFileRejected)
            response.errorText = "cannot load the CA file " + t.request->caFile;
        response.timedOut = t.stalled || rc == CURLE_OPERATION_TIMEDOUT;
        response.certificateRejected = rc == CURLE_PEER_FAILED_VERIFICATION;
    }
};

} // namespace

std::unique_ptr<HttpClient> createPlatformHttpClient()
{
    return std::make_unique<CurlHttpClient>();
}
