// CLegacyEndpoint: transport, frame, result bookkeeping.
#include "server/LegacyEndpoint.h"

#include "core/ServerAddress.h"
#include "server/HttpTransport.h"
#include "server/LegacyResult.h"

int CLegacyEndpoint::call(const std::string& serverUrl, const std::string& requestText)
{
    CServerAddress::set(serverUrl);
    const int count = CHttpTransport::httpRequest(kMaxAnswer, kPath, requestText.c_str(), response);
    if (count == 0) {
        setResult(LegacyCouldNotOpen);
        return code;
    }
    bool logRaw = false;
    const int result = rows.parse(response, logRaw);
    if (logRaw) {
        // Only the function name: the rest of the request carries the token.
        const std::string function = requestText.substr(0, requestText.find('&'));
        log.warnf("answer to %s: %s", function.c_str(), response.c_str());
    }
    setResult(result);
    return code;
}

void CLegacyEndpoint::setResult(int result)
{
    code = result;
    text = std::string(legacyResultText(result));
    line = text + "(" + std::to_string(result) + ")";
}
