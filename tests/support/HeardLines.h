// Every debug-log line as it is logged, the repeats the log file folds
// included, for as long as it lives (it is the process's one log listener
// meanwhile).
#pragma once

#include <mutex>
#include <string>
#include <vector>

class HeardLines {
public:
    HeardLines();
    ~HeardLines();
    HeardLines(const HeardLines&) = delete;
    HeardLines& operator=(const HeardLines&) = delete;
    // Lines whose text contains the text.
    int count(const std::string& text) const;

private:
    mutable std::mutex mutex;
    std::vector<std::string> texts;
};
