// HeardLines: a log listener that keeps every text.
#include "support/HeardLines.h"

#include "core/DebugLog.h"

HeardLines::HeardLines()
{
    CDebugLog::setListener([this](CDebugLog::Level, const std::string&, const std::string& text) {
        std::lock_guard<std::mutex> lock(mutex);
        texts.push_back(text);
    });
}

HeardLines::~HeardLines()
{
    CDebugLog::setListener({});
}

int HeardLines::count(const std::string& text) const
{
    std::lock_guard<std::mutex> lock(mutex);
    int n = 0;
    for (const std::string& t : texts)
        n += t.find(text) != std::string::npos ? 1 : 0;
    return n;
}
