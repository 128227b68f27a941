// The settings file and report store of a test: a first start without files,
// and reading and changing them as another program would.
#pragma once

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
        std::filesystem::remove(f);
}

inline std::string readWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void writeWholeFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}
