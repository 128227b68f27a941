// fetchPeerCertificate: Winsock connect and a Schannel client handshake with
// manual validation; the socket closes once the certificate is in hand.
#include <winsock2.h>
#include <ws2tcpip.h>

#include "platform/win32/TlsPeerCertificate.h"

#include "platform/win32/WideText.h"

#include <wincrypt.h>

#define SECURITY_WIN32
#include <schannel.h>
#include <security.h>

#include <vector>

namespace {

struct Socket {
    SOCKET s = INVALID_SOCKET;
    ~Socket()
    {
        if (s != INVALID_SOCKET)
            closesocket(s);
    }
};

struct Credentials {
    CredHandle h{};
    bool valid = false;
    ~Credentials()
    {
        if (valid)
            FreeCredentialsHandle(&h);
    }
};

struct Context {
    CtxtHandle h{};
    bool valid = false;
    ~Context()
    {
        if (valid)
            DeleteSecurityContext(&h);
    }
};

bool winsockReady()
{
    static const bool ready = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return ready;
}

// A connected socket within timeoutMs, with the same limit on every send and receive.
bool connectTo(const std::string& host, int port, std::uint32_t timeoutMs, Socket& out, std::string& why)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (!winsockReady() || getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) {
        why = "cannot resolve " + host;
        return false;
    }
    for (addrinfo* a = found; a != nullptr && out.s == INVALID_SOCKET; a = a->ai_next) {
        Socket s;
        s.s = socket(a->ai_family, a->ai_socktype, a->ai_protocol);
        if (s.s == INVALID_SOCKET)
            continue;
        u_long nonBlocking = 1;
        ioctlsocket(s.s, FIONBIO, &nonBlocking);
        connect(s.s, a->ai_addr, static_cast<int>(a->ai_addrlen));
        fd_set writable;
        FD_ZERO(&writable);
        FD_SET(s.s, &writable);
        timeval limit{static_cast<long>(timeoutMs / 1000), static_cast<long>(timeoutMs % 1000) * 1000};
        int error = 0;
        int size = sizeof error;
        if (select(0, nullptr, &writable, nullptr, &limit) != 1 ||
            getsockopt(s.s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size) != 0 || error != 0)
            continue;
        nonBlocking = 0;
        ioctlsocket(s.s, FIONBIO, &nonBlocking);
        const DWORD ms = timeoutMs;
        setsockopt(s.s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&ms), sizeof ms);
        setsockopt(s.s, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&ms), sizeof ms);
        std::swap(out.s, s.s);
    }
    freeaddrinfo(found);
    if (out.s == INVALID_SOCKET)
        why = "cannot connect to " + host + ":" + std::to_string(port);
    return out.s != INVALID_SOCKET;
}

bool sendAll(SOCKET s, const char* data, unsigned long size)
{
    while (size > 0) {
        const int n = send(s, data, static_cast<int>(size), 0);
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<unsigned long>(n);
    }
    return true;
}

bool sendToken(SOCKET s, SecBuffer& token)
{
    const bool ok = token.cbBuffer == 0 || sendAll(s, static_cast<const char*>(token.pvBuffer), token.cbBuffer);
    if (token.pvBuffer != nullptr)
        FreeContextBuffer(token.pvBuffer);
    token.pvBuffer = nullptr;
    return ok;
}

// The client side of the handshake up to its end; the server's certificate is
// not judged here (manual validation) but by the caller.
bool handshake(SOCKET s, const std::string& host, CredHandle& credentials, Context& context, std::string& why)
{
    const std::wstring name = toWide(host);
    const DWORD wanted = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT | ISC_REQ_CONFIDENTIALITY |
                         ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_STREAM;
    std::vector<char> received;
    for (int round = 0; round < 32; ++round) {
        SecBuffer in[2] = {{static_cast<unsigned long>(received.size()), SECBUFFER_TOKEN, received.data()},
                           {0, SECBUFFER_EMPTY, nullptr}};
        SecBufferDesc inDesc{SECBUFFER_VERSION, 2, in};
        SecBuffer out{0, SECBUFFER_TOKEN, nullptr};
        SecBufferDesc outDesc{SECBUFFER_VERSION, 1, &out};
        DWORD granted = 0;
        const SECURITY_STATUS status = InitializeSecurityContextW(
            &credentials, context.valid ? &context.h : nullptr, const_cast<wchar_t*>(name.c_str()), wanted, 0, 0,
            context.valid ? &inDesc : nullptr, 0, &context.h, &outDesc, &granted, nullptr);
        context.valid = true;
        if (status == SEC_E_INCOMPLETE_MESSAGE) {
            if (out.pvBuffer != nullptr)
                FreeContextBuffer(out.pvBuffer);
        } else {
            if (status != SEC_E_OK && status != SEC_I_CONTINUE_NEEDED) {
                why = "the TLS handshake failed (" + windowsErrorText(static_cast<unsigned long>(status)) + ")";
                return false;
            }
            if (!sendToken(s, out)) {
                why = "the connection broke during the TLS handshake";
                return false;
            }
            if (status == SEC_E_OK)
                return true;
            // What the server sent beyond this step stays for the next one.
            if (in[1].BufferType == SECBUFFER_EXTRA && in[1].cbBuffer <= received.size())
                received.erase(received.begin(), received.end() - in[1].cbBuffer);
            else
                received.clear();
            if (!received.empty())
                continue;
        }
        char chunk[16384];
        const int n = recv(s, chunk, sizeof chunk, 0);
        if (n <= 0) {
            why = "the server closed the connection during the TLS handshake";
            return false;
        }
        received.insert(received.end(), chunk, chunk + n);
    }
    why = "the TLS handshake did not end";
    return false;
}

} // namespace

const _CERT_CONTEXT* fetchPeerCertificate(const std::string& host, int port, std::uint32_t timeoutMs, std::string& why)
{
    Socket s;
    if (!connectTo(host, port, timeoutMs, s, why))
        return nullptr;
    SCHANNEL_CRED settings{};
    settings.dwVersion = SCHANNEL_CRED_VERSION;
    settings.dwFlags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS;
    Credentials credentials;
    wchar_t package[] = UNISP_NAME_W;
    if (AcquireCredentialsHandleW(nullptr, package, SECPKG_CRED_OUTBOUND, nullptr, &settings, nullptr, nullptr,
                                  &credentials.h, nullptr) != SEC_E_OK) {
        why = "cannot set up TLS";
        return nullptr;
    }
    credentials.valid = true;
    Context context;
    if (!handshake(s.s, host, credentials.h, context, why))
        return nullptr;
    PCCERT_CONTEXT server = nullptr;
    if (QueryContextAttributesW(&context.h, SECPKG_ATTR_REMOTE_CERT_CONTEXT, &server) != SEC_E_OK ||
        server == nullptr) {
        why = "the server sent no certificate";
        return nullptr;
    }
    return server;
}
