// An in-process stand-in of the service for unit tests: installed as the
// process's HTTP client, it answers each legacy function with the frame the
// test set (plain success otherwise), can refuse every request, and records
// the functions called in the order they arrived.
#pragma once

#include "platform/HttpClient.h"

#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

class ScriptedService final : public HttpClient {
public:
    ScriptedService();
    ~ScriptedService() override;
    ScriptedService(const ScriptedService&) = delete;
    ScriptedService& operator=(const ScriptedService&) = delete;

    HttpResponse send(const HttpRequest& request) override;

    // A success frame with one data row.
    static std::string table(const std::map<std::string, std::string>& row);

    void answer(const std::string& function, const std::string& frame);
    void setRefusing(bool on);
    // Every request takes the whole time it is allowed (on the process
    // clock, which a test's ManualClock advances) and then times out.
    void setStalling(bool on);
    // Only the requests of this function stall.
    void stall(const std::string& function);
    // The "function" of every legacy request so far, in order.
    std::vector<std::string> functions();
    // The bodies of the requests of one function, in order.
    std::vector<std::string> bodies(const std::string& function);

private:
    std::mutex mutex;
    std::map<std::string, std::string> answers;
    bool refusing = false;
    bool stalling = false;
    std::set<std::string> stalled;
    std::vector<std::pair<std::string, std::string>> seen;
};
