// The certificate a TLS server presents, fetched by a handshake of our own
// that sends no request: so a private authority's chain is checked before a
// single byte of the request leaves. WinHTTP stops a send whose sending
// callback closes the request on Windows, but not on every implementation
// (Wine's sends anyway); this check holds on all of them.
#pragma once

#include <cstdint>
#include <string>

struct _CERT_CONTEXT; // wincrypt.h's, which needs winsock2.h before windows.h here

// The server's certificate (the caller frees it), or nullptr with why set.
const _CERT_CONTEXT* fetchPeerCertificate(const std::string& host, int port, std::uint32_t timeoutMs, std::string& why);
