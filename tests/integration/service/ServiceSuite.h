// Shared set-up of the server-link integration tests: one qvl-service process
// per suite, the real libcurl client, the service's CA as the extra trusted
// authority, and a reader of what the service received.
#pragma once

#include "ServiceStore.h"
#include "platform/HttpClient.h"
#include "server/ClientInterface.h"
#include "server/HttpTransport.h"
#include "server/ServerSettings.h"
#include "support/ServiceProcess.h"

#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <memory>
#include <string>

class ServiceSuite : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        client = createPlatformHttpClient();
        setHttpClient(client.get());
        service = std::make_unique<ServiceProcess>(QVL_BINARY_DIR "/tools/qvl-service/qvl-service");
        ASSERT_TRUE(service->start()) << "qvl-service did not start";
        store = std::make_unique<CServiceStore>();
        ASSERT_TRUE(store->open(service->databaseFile()));
    }
    static void TearDownTestSuite()
    {
        store.reset();
        service.reset();
        setHttpClient(nullptr);
        client.reset();
        CHttpTransport::setOptions(CTransportOptions{});
    }
    void SetUp() override
    {
        CTransportOptions o;
        o.caFile = service->caFile();
        CHttpTransport::setOptions(o);
        service->setFault("none");
    }

    // A client pointed at the service, logged in when asked.
    std::unique_ptr<CClientInterface> newClient(bool loggedIn)
    {
        auto c = std::make_unique<CClientInterface>();
        c->setServerUrl(service->url());
        if (loggedIn) {
            EXPECT_EQ(c->login("demo", "demo123"), 0);
            EXPECT_GE(c->getPilotData(), 0);
        }
        return c;
    }

    // The raw body of the newest request the service received for function.
    static std::string lastBody(const std::string& function)
    {
        const auto all = store->received(function);
        return all.empty() ? std::string("<none>") : all.back().body;
    }
    static std::size_t receivedCount(const std::string& function = {}) { return store->received(function).size(); }

    static std::string format(const char* f, ...) __attribute__((format(printf, 1, 2)))
    {
        char buf[16384];
        va_list args;
        va_start(args, f);
        std::vsnprintf(buf, sizeof buf, f, args);
        va_end(args);
        return buf;
    }

    static inline std::unique_ptr<HttpClient> client;
    static inline std::unique_ptr<ServiceProcess> service;
    static inline std::unique_ptr<CServiceStore> store;
};
