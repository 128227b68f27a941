// ScriptedService: canned legacy frames and the record of calls.
#include "support/ScriptedService.h"

#include "platform/Clock.h"

namespace {

std::string functionOf(const std::string& body)
{
    const std::string key = "function=";
    if (body.compare(0, key.size(), key) != 0)
        return {};
    const std::size_t end = body.find('&');
    return body.substr(key.size(), end == std::string::npos ? std::string::npos : end - key.size());
}

} // namespace

ScriptedService::ScriptedService()
{
    setHttpClient(this);
}

ScriptedService::~ScriptedService()
{
    setHttpClient(nullptr);
}

HttpResponse ScriptedService::send(const HttpRequest& request)
{
    std::lock_guard<std::mutex> lock(mutex);
    HttpResponse response;
    const std::string function = functionOf(request.body);
    if (refusing) {
        response.errorText = "Connection refused";
        return response;
    }
    seen.emplace_back(function, request.body);
    if (stalling || stalled.count(function) != 0) {
        processClock().sleepMs(request.totalTimeoutMs);
        response.errorText = "Operation timed out";
        response.timedOut = true;
        return response;
    }
    response.ok = true;
    response.status = 200;
    const auto it = answers.find(function);
    response.body = it != answers.end() ? it->second : "DATASTART\nSUCCESS\nDATAEND\n";
    if (function.empty())
        response.status = 404;
    return response;
}

std::string ScriptedService::table(const std::map<std::string, std::string>& row)
{
    std::string names;
    std::string values;
    for (const auto& [name, value] : row) {
        names += (names.empty() ? "" : "|") + name;
        values += (values.empty() ? "" : "|") + value;
    }
    return "DATASTART\nSUCCESS\n" + names + "\n" + values + "\nDATAEND\n";
}

void ScriptedService::setStalling(bool on)
{
    std::lock_guard<std::mutex> lock(mutex);
    stalling = on;
}

void ScriptedService::stall(const std::string& function)
{
    std::lock_guard<std::mutex> lock(mutex);
    stalled.insert(function);
}

void ScriptedService::answer(const std::string& function, const std::string& frame)
{
    std::lock_guard<std::mutex> lock(mutex);
    answers[function] = frame;
}

void ScriptedService::setRefusing(bool on)
{
    std::lock_guard<std::mutex> lock(mutex);
    refusing = on;
}

std::vector<std::string> ScriptedService::functions()
{
    std::lock_guard<std::mutex> lock(mutex);
    std::vector<std::string> out;
    for (const auto& s : seen) {
        if (!s.first.empty())
            out.push_back(s.first);
    }
    return out;
}

std::vector<std::string> ScriptedService::bodies(const std::string& function)
{
    std::lock_guard<std::mutex> lock(mutex);
    std::vector<std::string> out;
    for (const auto& s : seen) {
        if (s.first == function)
            out.push_back(s.second);
    }
    return out;
}
