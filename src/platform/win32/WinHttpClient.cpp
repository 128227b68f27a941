// HttpClient on WinHTTP: a thread keeps its session and connection to the
// service when WinHTTP's own handshake checked it; a request with a cancel
// flag ends as soon as another thread sets it.
#include "platform/HttpClient.h"

#include "platform/win32/WinHttpRequest.h"

namespace {

class WinHttpClient final : public HttpClient {
public:
    HttpResponse send(const HttpRequest& request) override
    {
        WinHttpTarget target;
        target.host = request.host;
        target.port = request.port;
        target.verb = request.verb;
        target.path = request.path;
        if (!request.contentType.empty())
            target.headers = "Content-Type: " + request.contentType + "\r\n";
        target.caFile = request.caFile;
        target.userAgent = request.userAgent;
        target.connectTimeoutMs = request.connectTimeoutMs;
        target.sendTimeoutMs = request.sendTimeoutMs;
        target.receiveTimeoutMs = request.receiveTimeoutMs;
        target.totalTimeoutMs = request.totalTimeoutMs;
        target.cancel = request.cancel;
        // Kept only without a CA file: that handshake is relaxed for our own
        // check, and Wine pools connections across sessions, so a warm one
        // could serve a request with another trust setting unchecked.
        target.keepConnection = request.caFile.empty();

        HttpResponse response;
        const WinHttpOutcome outcome = WinHttpRequest::exchange(
            target, request.body, [&](const char* data, std::size_t size, const WinHttpOutcome&) {
                const std::size_t room = request.maxResponseBytes > response.body.size()
                                             ? request.maxResponseBytes - response.body.size()
                                             : 0;
                if (size > room)
                    response.truncated = true;
                response.body.append(data, size < room ? size : room);
                return true;
            });
        response.ok = outcome.ok;
        response.status = outcome.ok ? outcome.status : 0;
        response.errorText = outcome.errorText;
        response.platformError = static_cast<long>(outcome.error);
        response.certificateRejected = outcome.certificateRejected;
        response.timedOut = outcome.timedOut;
        if (!outcome.ok)
            response.body.clear();
        return response;
    }
};

} // namespace

std::unique_ptr<HttpClient> createPlatformHttpClient()
{
    return std::make_unique<WinHttpClient>();
}
