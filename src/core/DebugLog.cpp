// CDebugLog: daily log files, header block, purge of old files.
#include "core/DebugLog.h"

#include "core/CivilTime.h"
#include "core/ClientConfig.h"
#include "core/RegularFile.h"
#include "core/ServerAddress.h"
#include "core/Utf8Path.h"
#include "core/Version.h"

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <vector>

namespace {
bool g_headerWritten = false;
// Background senders log too; keep whole lines whole.
std::mutex g_fileMutex;
CDebugLog::Listener g_listener; // guarded by g_fileMutex

const char* const kRule = "----------------------------------";

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
    refreshTimestamp();
    fileName = "quenvale_debug." + std::string(kClientVersion) + "." + timestamp.substr(0, 10) + ".txt";
    startUp();
}

CDebugLog::~CDebugLog()
{
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
    g_headerWritten = false;
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
    refreshTimestamp();
    std::string composed = prefix + text;
    const std::string continuation = "\n" + timestamp + " " + prefix + " --> ";
    for (std::size_t pos = composed.find('\n'); pos != std::string::npos;
         pos = composed.find('\n', pos + continuation.size())) {
        composed.replace(pos, 1, continuation);
    }
    const std::string path = filePath();
    std::lock_guard<std::mutex> lock(g_fileMutex);
    if (g_listener)
        g_listener(level, name, text);
    // A FIFO or device in the log's place would block the open for ever.
    if (!CRegularFile::absentOrRegular(path))
        return;
    std::ofstream f(utf8Path(path), std::ios::app);
    if (!f)
        return; // logging never stops the caller
    f << timestamp << ' ' << composed << '\n';
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
