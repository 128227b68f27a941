// CServerSettings: defaults, the relay choice, the transport's CA file.
#include "server/ServerSettings.h"

#include "core/DebugLog.h"
#include "core/RegularFile.h"
#include "server/HttpTransport.h"

CServerSettings CServerSettings::fromValues(const std::string& url, const std::string& relayUrl,
                                            const std::string& webUrl, const std::string& caFile)
{
    CServerSettings s;
    if (!url.empty())
        s.url = url;
    if (!relayUrl.empty())
        s.relayUrl = relayUrl;
    if (!webUrl.empty())
        s.webUrl = webUrl;
    s.caFile = caFile;
    return s;
}

std::string CServerSettings::hostPart(const std::string& url)
{
    if (url.rfind("https://", 0) == 0)
        return url.substr(8);
    if (url.rfind("http://", 0) == 0)
        return url.substr(7);
    return url;
}

std::string CServerSettings::urlForAltServer(long altServer) const
{
    if (altServer == 1)
        return "https://" + hostPart(relayUrl);
    if (altServer == 2)
        return "http://" + hostPart(relayUrl);
    return url;
}

void CServerSettings::applyToTransport() const
{
    CTransportOptions options = CHttpTransport::options();
    options.caFile = caFile;
    // A FIFO or device would block the TLS set-up of every request for ever;
    // without the file the private service's certificate is refused instead.
    constexpr std::uintmax_t kMaxCaFileBytes = 4u << 20;
    std::string why;
    if (!caFile.empty() && CRegularFile::exists(caFile) && !CRegularFile::fits(caFile, kMaxCaFileBytes, why)) {
        static CDebugLog log("CServerSettings", CDebugLog::Quiet{});
        log.error("CAFile " + caFile + " not used: " + why);
        options.caFile.clear();
    }
    CHttpTransport::setOptions(options);
}
