// CLegacyEndpoint: transport, frame, result bookkeeping.
#include "server/LegacyEndpoint.h"

#include "server/HttpTransport.h"
#include "server/LegacyResult.h"
#include "server/ServerAddress.h"

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
    if (logRaw)
        log.warnf("answer to %.40s: %s", requestText.c_str(), response.c_str());
    setResult(result);
    return code;
}

void CLegacyEndpoint::setResult(int result)
{
    code = result;
    text = std::string(legacyResultText(result));
    line = text + "(" + std::to_string(result) + ")";
}
