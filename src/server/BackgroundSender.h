// Sends fire-and-forget requests to the legacy endpoint on one worker thread,
// in the order they were queued, without blocking the caller. Each request
// reads the process-wide server address when it starts; answers are dropped.
#pragma once

#include "core/DebugLog.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

class CBackgroundSender {
public:
    CBackgroundSender();
    // stop() with the usual grace.
    ~CBackgroundSender();
    CBackgroundSender(const CBackgroundSender&) = delete;
    CBackgroundSender& operator=(const CBackgroundSender&) = delete;

    void post(std::string requestText);
    // Waits until every queued request was sent, at most timeoutMs; true when idle.
    bool waitIdle(std::uint32_t timeoutMs);
    std::uint64_t sentCount() const;
    // Sends what is queued for at most graceMs, then ends the request in
    // flight and drops the rest: these sends never keep the client alive.
    void stop(std::uint32_t graceMs);

    static constexpr std::uint32_t kStopGraceMs = 5000;

private:
    void run();

    CDebugLog log;
    mutable std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable idle;
    std::deque<std::string> queue;
    bool busy = false;
    bool stopping = false;
    std::atomic<bool> cancel{false};
    std::uint64_t sent = 0;
    std::thread worker;
};
