// A named debug-log channel. Every channel appends to one file per day in the
// data folder; the file stays open and every line is flushed as it is written,
// so a killed client loses no line. A warning or error that repeats (the same
// words, whatever its numbers) is written once a minute with its count; the
// listener still hears every line. The first channel of a process writes the
// header and purges old logs.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>

class CDebugLog {
public:
    enum class Level { Debug, Warn, Error, Line };
    // Hears every line as it is written: level, channel name and text. Called
    // from whichever thread logs, one line at a time; it must not log itself.
    using Listener = std::function<void(Level, const std::string& channel, const std::string& text)>;
    // One listener per process (the headless client prints warnings and errors); an empty one removes it.
    static void setListener(Listener listener);

    explicit CDebugLog(const std::string& name);
    // Quiet channel: no "Init:"/"Delete:" lines.
    struct Quiet {};
    CDebugLog(const std::string& name, Quiet);
    ~CDebugLog();
    CDebugLog(const CDebugLog&) = delete;
    CDebugLog& operator=(const CDebugLog&) = delete;

    void debug(const std::string& text);
    void warn(const std::string& text);
    void error(const std::string& text);
    void line(const std::string& text);

    // printf-style variants; numbers use the C locale.
    void debugf(const char* format, ...) __attribute__((format(gnu_printf, 2, 3)));
    void warnf(const char* format, ...) __attribute__((format(gnu_printf, 2, 3)));
    void errorf(const char* format, ...) __attribute__((format(gnu_printf, 2, 3)));

    const std::string& getName() const { return name; }
    // Full path of the file this channel writes to.
    std::string filePath() const;

    // Deletes the files of the data folder matching "*<extension>" whose age
    // by the log rule (years*365 + months*30 + days) is above 30.
    void deleteOldLogs(const std::string& extension);
    // Age of a file last written on `written` when looked at on `today` (UTC dates).
    static int ageInDays(int wy, int wm, int wd, int ty, int tm, int td);

    // Forgets that the header was written and closes the open files (tests
    // start a "new process").
    static void resetProcessState();

    // A repeated warning or error is written again after this long, with the
    // number of times it came in between.
    static constexpr std::int64_t kFoldMs = 60000;
    // What makes two lines the same message when repeats are folded (here and
    // on the console): the level, the text with each run of digits as one '#'.
    static std::string foldKey(Level level, const std::string& text);

private:
    // A warning or error that was written and has come again since.
    struct Fold {
        std::int64_t writtenMs = 0;
        std::string writtenAt; // timestamp of the written line
        long repeats = 0;      // not written since
        std::string prefix;
        std::string last;
    };

    CDebugLog(const std::string& name, bool announceLifetime);
    void startUp();
    void write(Level level, const std::string& prefix, const std::string& text);
    // The lines below run with the file lock held.
    bool folded(Level level, const std::string& prefix, const std::string& text, std::int64_t nowMs);
    void writeDueCounts(std::int64_t nowMs, bool all);
    void writeLocked(const std::string& prefix, const std::string& text);
    void refreshTimestamp();

    std::string name;
    bool announce;
    std::string timestamp;
    std::string fileName;
    std::map<std::string, Fold> folds; // by message, numbers left out
};
