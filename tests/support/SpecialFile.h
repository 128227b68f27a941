// Something that is not a regular file at a path, where a file is expected:
// a FIFO on Linux (reading it would block for ever), a folder on Windows.
#pragma once

#include <filesystem>
#include <string>
#ifndef _WIN32
#include <sys/stat.h>
#endif

inline bool makeSpecialFile(const std::string& path)
{
#ifdef _WIN32
    return std::filesystem::create_directory(path);
#else
    return ::mkfifo(path.c_str(), 0600) == 0;
#endif
}

// Removes what makeSpecialFile made.
inline void removeSpecialFile(const std::string& path)
{
    std::error_code ec;
    std::filesystem::remove(path, ec);
}
