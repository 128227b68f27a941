// CDebugLog: daily log files, header block, purge of old files.
#include "core/DebugLog.h"

#include "core/CivilTime.h"
#include "core/ClientConfig.h"
#include "core/RegularFile.h"
#include "core/ServerAddress.h"
#include "core/Utf8Path.h"
#include "core/Version.h"
#include "platform/Clock.h"

#include <chrono>
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <set>
#include <vector>

namespace {
bool g_headerWritten = false;
// Background senders log too; keep whole lines whole.
std::mutex g_fileMutex;
CDebugLog::Listener g_listener; // guarded by g_fileMutex
// Every channel, so that a clock set back can end every fold; guarded by g_fileMutex.
std::set<CDebugLog*> g_channels;
std::int64_t g_lastLineMs = 0;

const char* const kRule = "----------------------------------";
// Written in binary, so the file's size after a line is known without asking.
#ifdef _WIN32
const char* const kLineEnd = "\r\n";
#else
const char* const kLineEnd = "\n";
#endif

// The log files stay open between lines: the current day's and, for channels
// created before midnight, the day before. Guarded by g_fileMutex.
struct OpenLog {
    std::string path;
    std::ofstream out;
    std::uintmax_t end = 0; // the file's size after our last line
};
OpenLog g_open[2];
std::size_t g_nextSlot = 0;

void closeLogs()
{
    for (OpenLog& slot : g_open) {
        slot.out.close();
        slot.path.clear();
    }
}

// The open file for path, or nullptr when the line cannot be written. One
// stat a line notices a file that was removed, replaced or truncated meanwhile.
OpenLog* openLog(const std::string& path)
{
    namespace fs = std::filesystem;
    const fs::path file = utf8Path(path);
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(file, ec);
    for (OpenLog& slot : g_open) {
        if (slot.path != path)
            continue;
        if (!ec && size == slot.end && slot.out.is_open())
            return &slot;
        slot.out.close();
        slot.path.clear();
    }
    // A FIFO or device in the log's place would block the open for ever.
    if (!CRegularFile::absentOrRegular(path))
        return nullptr;
    OpenLog& slot = g_open[g_nextSlot];
    g_nextSlot = (g_nextSlot + 1) % std::size(g_open);
    slot.out.close();
    slot.out.clear();
    slot.out.open(file, std::ios::app | std::ios::binary);
    if (!slot.out) {
        slot.path.clear();
        return nullptr;
    }
    slot.path = path;
    slot.end = ec ? 0 : size;
    return &slot;
}

std::string vformat(const char* format, va_list args)
{
    char buf[2048];
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(buf, sizeof buf, format, copy);
    va_end(copy);
    if (n < 0)
        return {};
    if (static_cast<std::size_t>(n) < sizeof buf)
        return std::string(buf, static_cast<std::size_t>(n));
    std::vector<char> big(static_cast<std::size_t>(n) + 1);
    std::vsnprintf(big.data(), big.size(), format, args);
    return std::string(big.data(), static_cast<std::size_t>(n));
}
} // namespace

CDebugLog::CDebugLog(const std::string& channelName) : CDebugLog(channelName, true) {}

CDebugLog::CDebugLog(const std::string& channelName, Quiet) : CDebugLog(channelName, false) {}

CDebugLog::CDebugLog(const std::string& channelName, bool announceLifetime)
    : name(channelName), announce(announceLifetime)
{
    {
        std::lock_guard<std::mutex> lock(g_fileMutex);
        g_channels.insert(this);
    }
    refreshTimestamp();
    fileName = "quenvale_debug." + std::string(kClientVersion) + "." + timestamp.substr(0, 10) + ".txt";
    startUp();
}

CDebugLog::~CDebugLog()
{
    {
        std::lock_guard<std::mutex> lock(g_fileMutex);
        writeDueCounts(processClock().nowMs(), true);
        g_channels.erase(this);
    }
    if (announce)
        write(Level::Line, "", "Delete: " + name);
}

void CDebugLog::startUp()
{
    if (!g_headerWritten) {
        g_headerWritten = true;
        line(kRule);
        line("---------Quenvale Log-----------");
        line(kRule);
        line(std::string("- Version: ") + kClientVersion);
        line("- Server: " + CServerAddress::get());
        line("- Max Data: 32768");
        line(kRule);
        line(kRule);
        line(kRule);
        deleteOldLogs(".txt");
        deleteOldLogs(".out");
    }
    refreshTimestamp();
    if (announce)
        line("Init: " + name);
}

void CDebugLog::resetProcessState()
{
    std::lock_guard<std::mutex> lock(g_fileMutex);
    g_headerWritten = false;
    closeLogs();
    for (CDebugLog* channel : g_channels)
        channel->folds.clear();
    g_lastLineMs = 0;
}

void CDebugLog::refreshTimestamp()
{
    timestamp = CivilTime::localNow().format("%Y-%m-%d - %H:%M:%S");
}

std::string CDebugLog::filePath() const
{
    return CClientConfig::getInstance().getDataFolder() + fileName;
}

void CDebugLog::setListener(Listener listener)
{
    std::lock_guard<std::mutex> lock(g_fileMutex);
    g_listener = std::move(listener);
}

void CDebugLog::write(Level level, const std::string& prefix, const std::string& text)
{
    std::lock_guard<std::mutex> lock(g_fileMutex);
    if (g_listener)
        g_listener(level, name, text);
    const std::int64_t nowMs = processClock().nowMs();
    // A clock set back (tests start afresh) ends every fold.
    if (nowMs < g_lastLineMs)
        for (CDebugLog* channel : g_channels)
            channel->folds.clear();
    g_lastLineMs = nowMs;
    if (!folds.empty())
        writeDueCounts(nowMs, false);
    if (!folded(level, prefix, text, nowMs))
        writeLocked(prefix, text);
}

bool CDebugLog::folded(Level level, const std::string& prefix, const std::string& text, std::int64_t nowMs)
{
    if (level != Level::Warn && level != Level::Error)
        return false;
    Fold& fold = folds[foldKey(level, text)];
    if (!fold.writtenAt.empty()) {
        fold.repeats += 1;
        fold.last = text;
        return true;
    }
    fold.writtenMs = nowMs;
    fold.prefix = prefix;
    refreshTimestamp();
    fold.writtenAt = timestamp;
    return false;
}

// A minute after a folded message was written, the number of its repeats
// since (with the last one's words); a message that did not come again is
// forgotten. `all` writes every count now (the channel goes away).
void CDebugLog::writeDueCounts(std::int64_t nowMs, bool all)
{
    for (auto it = folds.begin(); it != folds.end();) {
        Fold& fold = it->second;
        if (!all && nowMs - fold.writtenMs < kFoldMs) {
            ++it;
            continue;
        }
        if (fold.repeats == 0) {
            it = folds.erase(it);
            continue;
        }
        // "YYYY-MM-DD - HH:MM:SS": the time of day is enough.
        const std::string since = fold.writtenAt.size() > 13 ? fold.writtenAt.substr(13) : fold.writtenAt;
        writeLocked(fold.prefix, std::to_string(fold.repeats) + " more since " + since + ", the last: " + fold.last);
        fold.repeats = 0;
        fold.writtenMs = nowMs;
        fold.writtenAt = timestamp;
        ++it;
    }
}

void CDebugLog::writeLocked(const std::string& prefix, const std::string& text)
{
    refreshTimestamp();
    std::string line = timestamp + ' ' + prefix + text;
    if (line.find('\n') != std::string::npos) {
        const std::string continuation = kLineEnd + timestamp + " " + prefix + " --> ";
        for (std::size_t pos = line.find('\n'); pos != std::string::npos;
             pos = line.find('\n', pos + continuation.size())) {
            line.replace(pos, 1, continuation);
        }
    }
    line += kLineEnd;
    OpenLog* log = openLog(filePath());
    if (log == nullptr)
        return; // logging never stops the caller
    log->out.write(line.data(), static_cast<std::streamsize>(line.size()));
    log->out.flush();
    if (!log->out) {
        log->out.close();
        log->path.clear();
        return;
    }
    log->end += line.size();
}

void CDebugLog::debug(const std::string& text) { write(Level::Debug, "Debug: [" + name + "] ", text); }
void CDebugLog::warn(const std::string& text) { write(Level::Warn, "Warn: [" + name + "] ", text); }
void CDebugLog::error(const std::string& text) { write(Level::Error, "Error: [" + name + "] ", text); }
void CDebugLog::line(const std::string& text) { write(Level::Line, "", text); }

#define QVL_FORMAT_TO(target)                                                                      \
    va_list args;                                                                                  \
    va_start(args, format);                                                                        \
    std::string text = vformat(format, args);                                                      \
    va_end(args);                                                                                  \
    target(text)

void CDebugLog::debugf(const char* format, ...) { QVL_FORMAT_TO(debug); }
void CDebugLog::warnf(const char* format, ...) { QVL_FORMAT_TO(warn); }
void CDebugLog::errorf(const char* format, ...) { QVL_FORMAT_TO(error); }

std::string CDebugLog::foldKey(Level level, const std::string& text)
{
    std::string key(1, static_cast<char>('0' + static_cast<int>(level)));
    bool inNumber = false;
    for (const char c : text) {
        const bool digit = std::isdigit(static_cast<unsigned char>(c)) != 0;
        if (!digit)
            key += c;
        else if (!inNumber)
            key += '#';
        inNumber = digit;
    }
    return key;
}

int CDebugLog::ageInDays(int wy, int wm, int wd, int ty, int tm, int td)
{
    return (ty - wy) * 365 + (tm - wm) * 30 + (td - wd);
}

void CDebugLog::deleteOldLogs(const std::string& extension)
{
    namespace fs = std::filesystem;
    const std::string folder = CClientConfig::getInstance().getDataFolder();
    // Without a data folder the logs land in the working directory, which may
    // hold anybody's text files (a source tree's CMakeLists.txt, say): never
    // purge there.
    if (folder.empty())
        return;
    const fs::path dir = utf8Path(folder);
    const CivilTime today = CivilTime::utcNow();
    std::error_code ec;
    std::vector<fs::path> doomed;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path& p = it->path();
        if (!it->is_regular_file(ec) || utf8Text(p.extension()) != extension)
            continue;
        auto written = fs::last_write_time(p, ec);
        if (ec)
            continue;
        auto sys = std::chrono::file_clock::to_sys(written);
        auto secs = std::chrono::duration_cast<std::chrono::seconds>(sys.time_since_epoch()).count();
        CivilTime w = CivilTime::fromEpochSeconds(secs);
        if (ageInDays(w.year, w.month, w.day, today.year, today.month, today.day) > 30)
            doomed.push_back(p);
    }
    for (const fs::path& p : doomed) {
        line("Deleting Log File " + folder + utf8Text(p.filename()));
        fs::remove(p, ec); // a file that cannot be removed stays
    }
}
