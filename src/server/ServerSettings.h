// The service addresses and the extra trusted authority, as read from the
// settings section "server", with the server choice of the options.
#pragma once

#include <string>

class CServerSettings {
public:
    static constexpr const char* kDefaultUrl = "https://api.quenvale.example";
    static constexpr const char* kDefaultRelayUrl = "https://relay.quenvale.example";
    static constexpr const char* kDefaultWebUrl = "https://www.quenvale.example/";

    std::string url = kDefaultUrl;
    std::string relayUrl = kDefaultRelayUrl;
    std::string webUrl = kDefaultWebUrl;
    std::string caFile;

    // Values as read from the settings file; empty ones keep their default.
    static CServerSettings fromValues(const std::string& url, const std::string& relayUrl, const std::string& webUrl,
                                      const std::string& caFile);

    // AltServer: 1 = relay under "https://", 2 = relay under "http://",
    // anything else the standard address.
    std::string urlForAltServer(long altServer) const;

    // Makes caFile the transport's extra trusted authority.
    void applyToTransport() const;

private:
    static std::string hostPart(const std::string& url);
};
