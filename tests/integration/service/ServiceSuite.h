// Shared set-up of the server-link integration tests: one qvl-service process
// per suite, the platform's real HTTP client, the service's CA as the extra
// trusted authority, and (on Linux) a reader of what the service received.
#pragma once

#ifndef _WIN32
#include "ServiceStore.h"
#endif
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
#ifndef _WIN32
        store = std::make_unique<CServiceStore>();
        ASSERT_TRUE(store->open(service->databaseFile()));
#endif
    }
    static void TearDownTestSuite()
    {
#ifndef _WIN32
        store.reset();
#endif
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

#ifndef _WIN32
    // The raw body of the newest request the service received for function.
    static std::string lastBody(const std::string& function)
    {
        const auto all = store->received(function);
        return all.empty() ? std::string("<none>") : all.back().body;
    }
    static std::size_t receivedCount(const std::string& function = {}) { return store->received(function).size(); }
#endif

    static std::string format(const char* f, ...) __attribute__((format(gnu_printf, 1, 2)))
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
#ifndef _WIN32
    static inline std::unique_ptr<CServiceStore> store;
#endif
};
