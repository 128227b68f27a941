// CHttpTransport: builds the platform request and turns failures into the
// error lines and log lines the callers expect.
#include "server/HttpTransport.h"

#include "core/DebugLog.h"
#include "core/ServerAddress.h"
#include "platform/HttpClient.h"
#include "server/LeadingNumber.h"
#include "server/RequestDeadline.h"

#include <mutex>

namespace {

std::mutex g_optionsMutex;
CTransportOptions g_options;

CDebugLog& transportLog()
{
    static CDebugLog log("CHttpTransport", CDebugLog::Quiet{});
    return log;
}

HttpRequest buildRequest(const CServerEndpoint& endpoint, const std::string& path, const char* body,
                         std::size_t maxAppend)
{
    const CTransportOptions options = CHttpTransport::options();
    HttpRequest request;
    request.host = endpoint.host;
    request.port = endpoint.port;
    request.path = path;
    request.caFile = options.caFile;
    request.connectTimeoutMs = options.connectTimeoutMs;
    request.sendTimeoutMs = options.sendTimeoutMs;
    request.receiveTimeoutMs = options.receiveTimeoutMs;
    request.totalTimeoutMs = options.totalTimeoutMs;
    request.maxResponseBytes = maxAppend;
    // The work this request belongs to may have less time left than one request.
    const std::int64_t left = CRequestDeadline::remainingMs();
    if (left >= 0) {
        const auto cap = [left](std::uint32_t& ms) {
            if (ms == 0 || ms > left)
                ms = static_cast<std::uint32_t>(left);
        };
        cap(request.connectTimeoutMs);
        cap(request.totalTimeoutMs);
    }
    if (body == nullptr) {
        request.verb = "GET";
        request.contentType = "application/json";
    } else {
        request.verb = "POST";
        request.body = body;
        request.contentType = body[0] == '{' ? "application/json" : "application/x-www-form-urlencoded";
    }
    return request;
}

// The path as it may appear in the log: tokens travel in the query and in
// the pilot path, so neither is written out.
std::string loggablePath(const std::string& path)
{
    std::string shown = path.substr(0, path.find('?'));
    const std::string pilotPath = "/api/login/";
    if (shown.rfind(pilotPath, 0) == 0 && shown.size() > pilotPath.size())
        shown = pilotPath + "...";
    return shown;
}

void logFailure(const HttpRequest& request, const HttpResponse& response)
{
    const std::string path = loggablePath(request.path);
    if (response.certificateRejected) {
        transportLog().errorf("certificate of %s:%d not trusted, request refused: %s", request.host.c_str(),
                              request.port, response.errorText.c_str());
    } else if (response.timedOut) {
        transportLog().errorf("%s:%d%s timed out: %s", request.host.c_str(), request.port, path.c_str(),
                              response.errorText.c_str());
    } else {
        transportLog().errorf("%s:%d%s failed (%ld): %s", request.host.c_str(), request.port, path.c_str(),
                              response.platformError, response.errorText.c_str());
    }
}

} // namespace

CServerEndpoint CHttpTransport::parseServerUrl(const std::string& url)
{
    std::string rest = url;
    if (rest.rfind("https://", 0) == 0)
        rest.erase(0, 8);
    else if (rest.rfind("http://", 0) == 0)
        rest.erase(0, 7);
    const std::size_t slash = rest.find('/');
    if (slash != std::string::npos)
        rest.erase(slash);
    CServerEndpoint endpoint;
    const std::size_t colon = rest.rfind(':');
    if (colon != std::string::npos && rest.find(':') == colon) {
        const std::string port = rest.substr(colon + 1);
        const int value = isDecimalInteger(port) ? leadingInt(port) : 0;
        if (value > 0 && value < 65536)
            endpoint.port = value;
        rest.erase(colon);
    }
    endpoint.host = rest;
    return endpoint;
}

int CHttpTransport::httpRequest(std::size_t maxAppend, const std::string& path, const char* body, std::string& response)
{
    return httpRequestTo(CServerAddress::get(), maxAppend, path, body, response);
}

int CHttpTransport::httpRequestTo(const std::string& serverUrl, std::size_t maxAppend, const std::string& path,
                                  const char* body, std::string& response, const std::atomic<bool>* cancel)
{
    response.clear();
    const CServerEndpoint endpoint = parseServerUrl(serverUrl);
    HttpRequest request = buildRequest(endpoint, path, body, maxAppend);
    request.cancel = cancel;
    if (endpoint.host.empty()) {
        transportLog().errorf("no host in the server address \"%s\"", serverUrl.c_str());
        response = "Error 0 has occurred.\n";
        return -1;
    }
    if (request.totalTimeoutMs == 0 && CRequestDeadline::remainingMs() == 0) {
        transportLog().warnf("%s not sent: no time left for it", loggablePath(path).c_str());
        response = "Error 0 has occurred.\n";
        return -1;
    }
    HttpResponse answer = httpClient().send(request);
    if (!answer.ok) {
        logFailure(request, answer);
        response = "Error " + std::to_string(answer.platformError) + " has occurred.\n";
        return -1;
    }
    if (answer.status != 200)
        transportLog().warnf("%s answered HTTP %d", loggablePath(path).c_str(), answer.status);
    if (answer.truncated)
        transportLog().warnf("answer of %s cut to %zu characters", loggablePath(path).c_str(), maxAppend);
    response = std::move(answer.body);
    if (response.size() > maxAppend)
        response.resize(maxAppend);
    return static_cast<int>(response.size());
}

void CHttpTransport::setOptions(const CTransportOptions& options)
{
    std::lock_guard<std::mutex> lock(g_optionsMutex);
    g_options = options;
}

CTransportOptions CHttpTransport::options()
{
    std::lock_guard<std::mutex> lock(g_optionsMutex);
    return g_options;
}
