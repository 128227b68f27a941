// The process-wide address of the service. Written by the server client when
// the options pick a server, read by every request and by background senders,
// so access is serialised.
#pragma once

#include <string>

class CServerAddress {
public:
    static std::string get();
    static void set(const std::string& url);
    static constexpr const char* kDefaultUrl = "https://api.quenvale.example";
};
