// WinHttpRequest: synchronous WinHTTP in which every wait is cut to what is
// left of the overall deadline, so a trickling answer ends on time too; a
// cancellable one runs on a thread of its own that the caller can abandon.
#include "platform/win32/WinHttpRequest.h"

#include "platform/win32/TlsPeerCertificate.h"
#include "platform/win32/WideText.h"

#include <windows.h>

#include <wincrypt.h>
#include <winhttp.h>

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

namespace {

using SteadyClock = std::chrono::steady_clock;

// WSAETIMEDOUT: Wine hands a socket's timeout through instead of WinHTTP's own.
constexpr DWORD kSocketTimedOut = 10060;

struct StoreHandle {
    HCERTSTORE h = nullptr;
    ~StoreHandle()
    {
        if (h != nullptr)
            CertCloseStore(h, 0);
    }
};

struct CertificateHandle {
    PCCERT_CONTEXT c = nullptr;
    ~CertificateHandle()
    {
        if (c != nullptr)
            CertFreeCertificateContext(c);
    }
};

struct ChainHandle {
    PCCERT_CHAIN_CONTEXT c = nullptr;
    ~ChainHandle()
    {
        if (c != nullptr)
            CertFreeCertificateChain(c);
    }
};

// Every certificate of a PEM file, in a memory store; false when the file
// cannot be read or holds no certificate.
bool loadCaFile(const std::string& file, StoreHandle& store)
{
    std::ifstream in(std::filesystem::path(toWide(file)), std::ios::binary);
    if (!in)
        return false;
    const std::string pem((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    store.h = CertOpenStore(CERT_STORE_PROV_MEMORY, 0, 0, 0, nullptr);
    if (store.h == nullptr)
        return false;
    const std::string begin = "-----BEGIN CERTIFICATE-----";
    const std::string end = "-----END CERTIFICATE-----";
    int added = 0;
    for (std::size_t at = pem.find(begin); at != std::string::npos; at = pem.find(begin, at + 1)) {
        const std::size_t stop = pem.find(end, at);
        if (stop == std::string::npos)
            break;
        const std::string block = pem.substr(at, stop + end.size() - at);
        DWORD size = 0;
        if (!CryptStringToBinaryA(block.c_str(), static_cast<DWORD>(block.size()), CRYPT_STRING_BASE64HEADER, nullptr,
                                  &size, nullptr, nullptr))
            continue;
        std::string der(size, '\0');
        if (CryptStringToBinaryA(block.c_str(), static_cast<DWORD>(block.size()), CRYPT_STRING_BASE64HEADER,
                                 reinterpret_cast<BYTE*>(der.data()), &size, nullptr, nullptr) &&
            CertAddEncodedCertificateToStore(store.h, X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()),
                                             size, CERT_STORE_ADD_ALWAYS, nullptr))
            ++added;
    }
    return added > 0;
}

// "a.b.c.d" as four bytes; false for anything else.
bool parseIpv4(const std::string& host, BYTE (&address)[4])
{
    int part = 0;
    unsigned value = 0;
    bool digit = false;
    for (std::size_t i = 0; i <= host.size(); ++i) {
        const char c = i < host.size() ? host[i] : '.';
        if (c >= '0' && c <= '9' && value < 256) {
            value = value * 10 + static_cast<unsigned>(c - '0');
            digit = true;
        } else if (c == '.' && digit && value < 256 && part < 4) {
            address[part++] = static_cast<BYTE>(value);
            value = 0;
            digit = false;
        } else {
            return false;
        }
    }
    return part == 4;
}

bool dnsNameMatches(std::string pattern, std::string host)
{
    for (std::string* t : {&pattern, &host})
        for (char& c : *t)
            c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    if (pattern.rfind("*.", 0) == 0) {
        const std::size_t dot = host.find('.');
        return dot != std::string::npos && dot > 0 && host.compare(dot, std::string::npos, pattern, 1) == 0;
    }
    return pattern == host;
}

// The server's names (DNS or IP address entries, else the common name) hold
// the host. Checked here because the handshake was told to ignore the name:
// Wine's check knows no address entries.
bool nameMatches(PCCERT_CONTEXT server, const std::string& host)
{
    BYTE ip[4];
    const bool hostIsIp = parseIpv4(host, ip);
    const CERT_INFO* info = server->pCertInfo;
    const CERT_EXTENSION* extension = CertFindExtension(szOID_SUBJECT_ALT_NAME2, info->cExtension, info->rgExtension);
    if (extension == nullptr) {
        char name[256] = {};
        CertGetNameStringA(server, CERT_NAME_ATTR_TYPE, 0, const_cast<char*>(szOID_COMMON_NAME), name, sizeof name);
        return dnsNameMatches(name, host);
    }
    CERT_ALT_NAME_INFO* names = nullptr;
    DWORD size = 0;
    if (!CryptDecodeObjectEx(X509_ASN_ENCODING, X509_ALTERNATE_NAME, extension->Value.pbData, extension->Value.cbData,
                             CRYPT_DECODE_ALLOC_FLAG, nullptr, &names, &size))
        return false;
    bool found = false;
    for (DWORD i = 0; i < names->cAltEntry && !found; ++i) {
        const CERT_ALT_NAME_ENTRY& entry = names->rgAltEntry[i];
        if (entry.dwAltNameChoice == CERT_ALT_NAME_DNS_NAME && !hostIsIp)
            found = dnsNameMatches(fromWide(entry.pwszDNSName), host);
        else if (entry.dwAltNameChoice == CERT_ALT_NAME_IP_ADDRESS && hostIsIp)
            found = entry.IPAddress.cbData == 4 && std::memcmp(entry.IPAddress.pbData, ip, 4) == 0;
    }
    LocalFree(names);
    return found;
}

// True when the server's chain is trusted by Windows, or leads to one of the
// CA file's certificates with no other fault. The dates were checked by
// WinHTTP during the handshake, which was told to let the unknown root and the
// name through to this check.
bool chainTrusted(PCCERT_CONTEXT server, HCERTSTORE caStore, const std::string& host, std::string& why)
{
    if (!nameMatches(server, host)) {
        why = "the server's certificate is not made out to " + host;
        return false;
    }
    StoreHandle extra;
    extra.h = CertOpenStore(CERT_STORE_PROV_COLLECTION, 0, 0, 0, nullptr);
    if (extra.h == nullptr) {
        why = "cannot open a certificate store: " + windowsErrorText(GetLastError());
        return false;
    }
    CertAddStoreToCollection(extra.h, caStore, 0, 0);
    if (server->hCertStore != nullptr)
        CertAddStoreToCollection(extra.h, server->hCertStore, 0, 0);
    CERT_CHAIN_PARA para{};
    para.cbSize = sizeof para;
    ChainHandle chain;
    if (!CertGetCertificateChain(nullptr, server, nullptr, extra.h, &para, 0, nullptr, &chain.c)) {
        why = "cannot build the server's certificate chain: " + windowsErrorText(GetLastError());
        return false;
    }
    const DWORD ignored = CERT_TRUST_REVOCATION_STATUS_UNKNOWN | CERT_TRUST_IS_OFFLINE_REVOCATION;
    const DWORD errors = chain.c->TrustStatus.dwErrorStatus & ~ignored;
    if (errors == 0)
        return true; // a Windows authority vouches for it
    if (errors != CERT_TRUST_IS_UNTRUSTED_ROOT || chain.c->cChain == 0) {
        why = "the server's certificate chain is invalid (trust status " + std::to_string(errors) + ")";
        return false;
    }
    const CERT_SIMPLE_CHAIN* simple = chain.c->rgpChain[0];
    for (DWORD i = 0; i < simple->cElement; ++i) {
        CertificateHandle found;
        found.c = CertFindCertificateInStore(caStore, X509_ASN_ENCODING, 0, CERT_FIND_EXISTING,
                                             simple->rgpElement[i]->pCertContext, nullptr);
        if (found.c != nullptr)
            return true;
    }
    why = "the server's certificate is signed neither by a Windows authority nor by the CA file";
    return false;
}

// A thread's kept session and connection, and the server they were made for.
// A request takes them out while it runs and hands them back only after a
// complete answer, so a cancelled or failed one leaves a fresh start.
struct KeptConnection {
    std::string server; // host, port, user agent and CA file
    HINTERNET session = nullptr;
    HINTERNET connection = nullptr;

    KeptConnection() = default;
    KeptConnection(const KeptConnection&) = delete;
    KeptConnection& operator=(const KeptConnection&) = delete;
    ~KeptConnection() { drop(); }

    void drop()
    {
        if (connection != nullptr)
            WinHttpCloseHandle(connection);
        if (session != nullptr)
            WinHttpCloseHandle(session);
        connection = session = nullptr;
    }
};

// The calling thread's keeping, emptied when it was made for another server.
// Never freed with its thread: a thread_local with a destructor crashes the
// thread's exit in winpthreads. Only uncancellable requests keep (the
// client's own thread's), so the threads that come and go leave nothing.
KeptConnection& keptFor(const WinHttpTarget& target)
{
    thread_local KeptConnection* keeping = nullptr;
    if (keeping == nullptr)
        keeping = new KeptConnection;
    KeptConnection& kept = *keeping;
    const std::string server =
        target.host + ":" + std::to_string(target.port) + "\n" + target.userAgent + "\n" + target.caFile;
    if (kept.server != server) {
        kept.drop();
        kept.server = server;
    }
    return kept;
}

// Only a connection that WinHTTP's own handshake checked is kept: one whose
// root was let through for the CA file's check would stay in Wine's
// process-wide pool, where a request with no CA file could be served on it.
bool keeps(const WinHttpTarget& target) { return target.keepConnection && target.caFile.empty(); }

// A request takes the kept handles out while it runs (none when not keeping).
HINTERNET takeSession(KeptConnection* kept) { return kept != nullptr ? std::exchange(kept->session, nullptr) : nullptr; }
HINTERNET takeConnection(KeptConnection* kept)
{
    return kept != nullptr ? std::exchange(kept->connection, nullptr) : nullptr;
}

class Exchange {
public:
    // Starts on a kept session and connection when given (closed with the
    // request unless handed back).
    Exchange(const WinHttpTarget& t, WinHttpOutcome& o, HINTERNET keptSession = nullptr,
             HINTERNET keptConnection = nullptr)
        : target(t), outcome(o), deadline(SteadyClock::now() + std::chrono::milliseconds(t.totalTimeoutMs)),
          session(keptSession), connection(keptConnection)
    {
    }
    ~Exchange() { closeHandles(); }
    Exchange(const Exchange&) = delete;
    Exchange& operator=(const Exchange&) = delete;

    // Once, from whichever thread comes first: closing the handles from
    // another thread is how WinHTTP ends a call blocked on them.
    void closeHandles()
    {
        std::lock_guard<std::mutex> lock(handles);
        if (closed)
            return;
        closed = true;
        for (HINTERNET h : {request, connection, session})
            if (h != nullptr)
                WinHttpCloseHandle(h);
    }

    // After a complete answer the session and connection go back to the
    // thread's keeping; anything else closes them with the request.
    void handBack(KeptConnection* kept)
    {
        std::lock_guard<std::mutex> lock(handles);
        if (kept == nullptr || closed || !outcome.ok || outcome.status < 200 || outcome.status >= 300)
            return;
        kept->drop();
        kept->session = std::exchange(session, nullptr);
        kept->connection = std::exchange(connection, nullptr);
    }

    void run(const std::string& body, const WinHttpRequest::BodySink& sink)
    {
        StoreHandle caStore;
        if (!target.caFile.empty() && !loadCaFile(target.caFile, caStore)) {
            outcome.errorText = "cannot load the CA file " + target.caFile;
            outcome.error = ERROR_FILE_NOT_FOUND;
            return;
        }
        if ((caStore.h != nullptr && !peerTrusted(caStore.h)) || !open() || !send(body, caStore.h) ||
            !receive(sink))
            return;
        outcome.ok = true;
    }

private:
    // What is left of a wait once the overall deadline cuts it; 0 when the deadline passed.
    DWORD cut(std::uint32_t limitMs) const
    {
        if (target.totalTimeoutMs == 0)
            return limitMs;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now()).count();
        if (left <= 0)
            return 0;
        return static_cast<DWORD>(std::min<long long>(left, limitMs));
    }

    bool deadlinePassed() const { return target.totalTimeoutMs != 0 && SteadyClock::now() >= deadline; }

    bool fail(const std::string& what)
    {
        const DWORD e = GetLastError();
        outcome.error = e;
        if (deadlinePassed()) {
            outcome.timedOut = true;
            outcome.errorText = "the whole request took longer than " + std::to_string(target.totalTimeoutMs) + " ms";
        } else if (e == ERROR_WINHTTP_TIMEOUT || e == kSocketTimedOut) {
            outcome.timedOut = true;
            outcome.errorText = what + ": no data moved within the timeout";
        } else {
            // Wine reports a refused certificate as a failed secure channel.
            outcome.certificateRejected =
                e == ERROR_WINHTTP_SECURE_FAILURE || e == ERROR_WINHTTP_SECURE_CHANNEL_ERROR ||
                e == ERROR_WINHTTP_SECURE_CERT_DATE_INVALID || e == ERROR_WINHTTP_SECURE_CERT_CN_INVALID ||
                e == ERROR_WINHTTP_SECURE_INVALID_CA || e == ERROR_WINHTTP_SECURE_INVALID_CERT ||
                e == ERROR_WINHTTP_SECURE_CERT_REVOKED;
            outcome.errorText = what + ": " + windowsErrorText(e);
        }
        return false;
    }

    bool setTimeout(DWORD option, std::uint32_t limitMs)
    {
        DWORD value = cut(limitMs);
        if (value == 0) {
            SetLastError(ERROR_WINHTTP_TIMEOUT);
            return false;
        }
        return WinHttpSetOption(request, option, &value, sizeof value);
    }

    // Keeps a new handle unless the handles were closed meanwhile.
    bool adopt(HINTERNET& slot, HINTERNET h)
    {
        std::lock_guard<std::mutex> lock(handles);
        if (h != nullptr && closed) {
            WinHttpCloseHandle(h);
            h = nullptr;
            SetLastError(ERROR_WINHTTP_OPERATION_CANCELLED);
        }
        slot = h;
        return h != nullptr;
    }

    bool open()
    {
        if (session == nullptr && !adopt(session, WinHttpOpen(toWide(target.userAgent).c_str(),
                                                              WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                                                              WINHTTP_NO_PROXY_BYPASS, 0)))
            return fail("cannot open a WinHTTP session");
        const DWORD connectMs = cut(target.connectTimeoutMs);
        if (connectMs == 0 || !WinHttpSetTimeouts(session, static_cast<int>(connectMs), static_cast<int>(connectMs),
                                                  static_cast<int>(std::max<DWORD>(1, cut(target.sendTimeoutMs))),
                                                  static_cast<int>(std::max<DWORD>(1, cut(target.receiveTimeoutMs)))))
            return fail("cannot set the timeouts");
        if (connection == nullptr &&
            !adopt(connection,
                   WinHttpConnect(session, toWide(target.host).c_str(), static_cast<INTERNET_PORT>(target.port), 0)))
            return fail("cannot reach " + target.host);
        if (!adopt(request, WinHttpOpenRequest(connection, toWide(target.verb).c_str(), toWide(target.path).c_str(),
                                               nullptr, WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                               WINHTTP_FLAG_SECURE)))
            return fail("cannot open the request");
        // Its own connection for every request unless it keeps the thread's
        // (Wine would otherwise reuse one from an earlier session).
        DWORD features = WINHTTP_DISABLE_COOKIES;
        if (!keeps(target))
            features |= WINHTTP_DISABLE_KEEP_ALIVE;
        // A redirect would reach a server whose chain is no longer checked here.
        if (!target.followRedirects || !target.caFile.empty())
            features |= WINHTTP_DISABLE_REDIRECTS;
        WinHttpSetOption(request, WINHTTP_OPTION_DISABLE_FEATURE, &features, sizeof features);
        if (!target.caFile.empty()) {
            // The root and the name are let through the handshake and checked
            // here, before the request line leaves.
            DWORD flags = SECURITY_FLAG_IGNORE_UNKNOWN_CA | SECURITY_FLAG_IGNORE_CERT_CN_INVALID;
            if (!WinHttpSetOption(request, WINHTTP_OPTION_SECURITY_FLAGS, &flags, sizeof flags))
                return fail("cannot set the security flags");
        }
        return true;
    }

    // The chain of the server's certificate, on a handshake that sends nothing.
    bool peerTrusted(HCERTSTORE caStore)
    {
        const std::uint32_t limit = cut(target.connectTimeoutMs);
        CertificateHandle server;
        std::string why;
        if (limit == 0) {
            SetLastError(ERROR_WINHTTP_TIMEOUT);
            return fail("cannot reach " + target.host);
        }
        server.c = fetchPeerCertificate(target.host, target.port, limit, why);
        if (server.c == nullptr) {
            outcome.error = ERROR_WINHTTP_CANNOT_CONNECT;
            outcome.timedOut = deadlinePassed();
            outcome.errorText = why;
            return false;
        }
        return judge(server.c, caStore);
    }

    bool judge(PCCERT_CONTEXT server, HCERTSTORE caStore)
    {
        std::string why;
        if (chainTrusted(server, caStore, target.host, why))
            return true;
        outcome.certificateRejected = true;
        outcome.error = ERROR_WINHTTP_SECURE_INVALID_CA;
        outcome.errorText = why + " (" + target.caFile + ")";
        return false;
    }

    // The connection WinHTTP sends on is checked too, after its handshake and
    // before the request line; closing the request there stops the send on
    // Windows.
    static void CALLBACK onStatus(HINTERNET, DWORD_PTR context, DWORD status, LPVOID, DWORD)
    {
        auto* self = reinterpret_cast<Exchange*>(context);
        if (status != WINHTTP_CALLBACK_STATUS_SENDING_REQUEST || self == nullptr || self->sendingCaStore == nullptr)
            return;
        self->checkedBeforeSending = true;
        if (!self->serverTrusted(self->sendingCaStore)) {
            self->refusedBeforeSending = true;
            self->closeHandles();
        }
    }

    bool send(const std::string& body, HCERTSTORE caStore)
    {
        const std::wstring headers = toWide(target.headers);
        sendingCaStore = caStore;
        if (caStore != nullptr)
            WinHttpSetStatusCallback(request, onStatus, WINHTTP_CALLBACK_FLAG_SEND_REQUEST, 0);
        const bool sentHeaders =
            setTimeout(WINHTTP_OPTION_SEND_TIMEOUT, target.sendTimeoutMs) &&
            WinHttpSendRequest(request, headers.empty() ? WINHTTP_NO_ADDITIONAL_HEADERS : headers.c_str(),
                               static_cast<DWORD>(headers.size()), WINHTTP_NO_REQUEST_DATA, 0,
                               static_cast<DWORD>(body.size()), reinterpret_cast<DWORD_PTR>(this));
        if (refusedBeforeSending)
            return false;
        if (!sentHeaders)
            return fail("cannot send the request to " + target.host);
        if (caStore != nullptr && !checkedBeforeSending && !serverTrusted(caStore))
            return false;
        std::size_t sent = 0;
        while (sent < body.size()) {
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(body.size() - sent, 65536));
            DWORD written = 0;
            if (!setTimeout(WINHTTP_OPTION_SEND_TIMEOUT, target.sendTimeoutMs) ||
                !WinHttpWriteData(request, body.data() + sent, chunk, &written))
                return fail("cannot send the request body");
            sent += written;
        }
        return true;
    }

    bool serverTrusted(HCERTSTORE caStore)
    {
        CertificateHandle server;
        DWORD size = sizeof server.c;
        if (!WinHttpQueryOption(request, WINHTTP_OPTION_SERVER_CERT_CONTEXT, &server.c, &size) || server.c == nullptr)
            return fail("cannot read the server's certificate");
        return judge(server.c, caStore);
    }

    bool receive(const WinHttpRequest::BodySink& sink)
    {
        if (!setTimeout(WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, target.receiveTimeoutMs) ||
            !setTimeout(WINHTTP_OPTION_RECEIVE_TIMEOUT, target.receiveTimeoutMs) ||
            !WinHttpReceiveResponse(request, nullptr))
            return fail("no answer from " + target.host);
        DWORD status = 0;
        DWORD size = sizeof status;
        WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                            WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX);
        outcome.status = static_cast<int>(status);
        DWORD length = 0;
        size = sizeof length;
        if (WinHttpQueryHeaders(request, WINHTTP_QUERY_CONTENT_LENGTH | WINHTTP_QUERY_FLAG_NUMBER,
                                WINHTTP_HEADER_NAME_BY_INDEX, &length, &size, WINHTTP_NO_HEADER_INDEX))
            outcome.contentLength = length;
        char buffer[16384];
        for (;;) {
            // Asks only for what has arrived: a read of more may wait for all
            // of it, which a trickling answer would stretch past the deadline.
            DWORD available = 0;
            if (!setTimeout(WINHTTP_OPTION_RECEIVE_TIMEOUT, target.receiveTimeoutMs) ||
                !WinHttpQueryDataAvailable(request, &available))
                return fail("cannot read the answer");
            if (available == 0)
                return true;
            DWORD got = 0;
            if (!WinHttpReadData(request, buffer, std::min<DWORD>(available, sizeof buffer), &got))
                return fail("cannot read the answer");
            if (got == 0)
                return true;
            if (!sink(buffer, got, outcome)) {
                outcome.stopped = true;
                return false;
            }
        }
    }

    const WinHttpTarget& target;
    WinHttpOutcome& outcome;
    const SteadyClock::time_point deadline;
    HCERTSTORE sendingCaStore = nullptr;
    bool checkedBeforeSending = false;
    bool refusedBeforeSending = false;
    std::mutex handles; // guards closed and the handles' slots
    bool closed = false;
    HINTERNET session = nullptr;
    HINTERNET connection = nullptr;
    HINTERNET request = nullptr;
};

// A cancellable exchange runs on a thread of its own while the caller watches
// the flag. Closing the handles ends a blocked call at once on Windows; Wine's
// synchronous calls notice only when their socket wait ends, so a cancelled
// caller waits a moment and then leaves the thread to finish alone.
class CancellableExchange {
public:
    static WinHttpOutcome run(const WinHttpTarget& target, const std::string& body,
                              const WinHttpRequest::BodySink& sink, KeptConnection* kept)
    {
        auto shared = std::make_shared<CancellableExchange>(target, kept);
        std::thread([shared, body, &sink] { shared->work(body, sink); }).detach();
        const WinHttpOutcome outcome = shared->watch(*target.cancel);
        if (!outcome.cancelled)
            shared->exchange.handBack(kept);
        return outcome;
    }

    // The worker thread never touches the caller's keeping: the handles are
    // taken out here and handed back by the caller.
    CancellableExchange(const WinHttpTarget& t, KeptConnection* kept)
        : target(t), exchange(target, outcome, takeSession(kept), takeConnection(kept))
    {
    }

private:
    static constexpr auto kPoll = std::chrono::milliseconds(50);
    static constexpr auto kAfterCancel = std::chrono::milliseconds(500);

    void work(const std::string& body, const WinHttpRequest::BodySink& sink)
    {
        exchange.run(body, [this, &sink](const char* data, std::size_t size, const WinHttpOutcome& sofar) {
            std::lock_guard<std::mutex> lock(mutex);
            return !abandoned && sink(data, size, sofar);
        });
        {
            std::lock_guard<std::mutex> lock(mutex);
            done = true;
        }
        ended.notify_all();
    }

    WinHttpOutcome watch(const std::atomic<bool>& cancel)
    {
        std::unique_lock<std::mutex> lock(mutex);
        while (!done) {
            if (cancel.load())
                return abandon(lock);
            ended.wait_for(lock, kPoll, [this] { return done; });
        }
        return outcome;
    }

    WinHttpOutcome abandon(std::unique_lock<std::mutex>& lock)
    {
        abandoned = true;
        lock.unlock();
        exchange.closeHandles();
        lock.lock();
        ended.wait_for(lock, kAfterCancel, [this] { return done; });
        WinHttpOutcome out;
        out.cancelled = true;
        out.error = ERROR_WINHTTP_OPERATION_CANCELLED;
        out.errorText = "cancelled";
        return out;
    }

    WinHttpTarget target;
    WinHttpOutcome outcome;
    Exchange exchange;
    std::mutex mutex; // guards done, abandoned and every call of the caller's sink
    std::condition_variable ended;
    bool done = false;
    bool abandoned = false;
};

} // namespace

WinHttpOutcome WinHttpRequest::exchange(const WinHttpTarget& target, const std::string& body, const BodySink& sink)
{
    KeptConnection* kept = keeps(target) && target.cancel == nullptr ? &keptFor(target) : nullptr;
    if (target.cancel != nullptr)
        return CancellableExchange::run(target, body, sink, kept);
    WinHttpOutcome outcome;
    Exchange exchange(target, outcome, takeSession(kept), takeConnection(kept));
    exchange.run(body, sink);
    exchange.handBack(kept);
    return outcome;
}
