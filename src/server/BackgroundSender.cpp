// CBackgroundSender: a queue and one worker; the thread starts lazily so a
// client that never sends in the background owns no thread.
#include "server/BackgroundSender.h"

#include "core/ServerAddress.h"
#include "server/HttpTransport.h"
#include "server/LegacyEndpoint.h"

#include <chrono>

CBackgroundSender::CBackgroundSender() : log("CBackgroundSender", CDebugLog::Quiet{}) {}

CBackgroundSender::~CBackgroundSender()
{
    stop(kStopGraceMs);
}

void CBackgroundSender::stop(std::uint32_t graceMs)
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    wake.notify_all();
    if (!worker.joinable())
        return;
    if (!waitIdle(graceMs)) {
        std::lock_guard<std::mutex> lock(mutex);
        log.warnf("%zu background sends dropped at exit", queue.size() + (busy ? 1 : 0));
        queue.clear();
        cancel = true;
    }
    worker.join();
}

void CBackgroundSender::post(std::string requestText)
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (stopping)
            return;
        queue.push_back(std::move(requestText));
        if (!worker.joinable())
            worker = std::thread([this] { run(); });
    }
    wake.notify_one();
}

bool CBackgroundSender::waitIdle(std::uint32_t timeoutMs)
{
    std::unique_lock<std::mutex> lock(mutex);
    return idle.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return queue.empty() && !busy; });
}

std::uint64_t CBackgroundSender::sentCount() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return sent;
}

void CBackgroundSender::run()
{
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
        wake.wait(lock, [this] { return stopping || !queue.empty(); });
        if (queue.empty())
            return; // stopping and nothing left
        std::string request = std::move(queue.front());
        queue.pop_front();
        busy = true;
        lock.unlock();

        const std::string url = CServerAddress::get();
        std::string response;
        if (CHttpTransport::httpRequestTo(url, CLegacyEndpoint::kMaxAnswer, CLegacyEndpoint::kPath, request.c_str(),
                                          response, &cancel) < 0)
            log.warnf("background send failed: %s", response.c_str());

        lock.lock();
        busy = false;
        ++sent;
        if (queue.empty())
            idle.notify_all();
    }
}
