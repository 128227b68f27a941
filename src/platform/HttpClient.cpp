// Registry of the process's HttpClient. Background senders read it from their
// own thread, hence the atomic pointer.
#include "platform/HttpClient.h"

#include <atomic>

namespace {
class NoHttpClient final : public HttpClient {
public:
    HttpResponse send(const HttpRequest&) override
    {
        HttpResponse r;
        r.errorText = "no HTTP client installed";
        r.platformError = -1;
        return r;
    }
};

NoHttpClient g_noClient;
std::atomic<HttpClient*> g_client{&g_noClient};
} // namespace

HttpClient& httpClient()
{
    return *g_client.load();
}

void setHttpClient(HttpClient* client)
{
    g_client.store(client != nullptr ? client : &g_noClient);
}
