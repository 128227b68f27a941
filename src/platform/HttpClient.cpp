// Registry of the process's HttpClient; background senders read it from their
// own thread.
#include "platform/HttpClient.h"
#include "platform/SeamSlot.h"

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
constinit SeamSlot<HttpClient> g_client{g_noClient};
} // namespace

HttpClient& httpClient()
{
    return g_client.get();
}

void setHttpClient(HttpClient* client)
{
    g_client.install(client);
}
