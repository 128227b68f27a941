// The settings file and report store of a test: a first start without files,
// and reading and changing them as another program would.
#pragma once

#include "core/ClientConfig.h"
#include "core/Utf8Path.h"
#include "platform/SystemInfo.h"
#include "report/IniParser.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

// Drops the store object and its files (staged ones included): the next use
// is a first start.
inline void startWithEmptyStore()
{
    CIniParser& s = CIniParser::getInstance();
    const std::string files[] = {s.getSettingsPath(), s.getReportPath(), s.getStagedReportPath()};
    CIniParser::destroyInstance();
    for (const std::string& f : files)
        std::filesystem::remove(utf8Path(f));
}

// The store, and the whole data folder, below a name of the pilot's own
// (C:\Users\Jörg) for the life of the scope; a first start at either end.
class StoreFolderScope {
public:
    explicit StoreFolderScope(const std::string& name) : folder(systemInfo().userDataFolder() + name)
    {
        startWithEmptyStore();
        CClientConfig::useDataFolder(folder);
        CClientConfig::destroyInstance();
    }
    ~StoreFolderScope()
    {
        startWithEmptyStore();
        CClientConfig::useDataFolder("");
        CClientConfig::destroyInstance();
        std::error_code ec;
        std::filesystem::remove_all(utf8Path(folder), ec);
    }
    StoreFolderScope(const StoreFolderScope&) = delete;
    StoreFolderScope& operator=(const StoreFolderScope&) = delete;

private:
    std::string folder;
};

inline std::string readWholeFile(const std::string& path)
{
    std::ifstream in(utf8Path(path), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void writeWholeFile(const std::string& path, const std::string& text)
{
    std::ofstream out(utf8Path(path), std::ios::binary | std::ios::trunc);
    out << text;
}
