// The check before the client reads a file it was given: only a regular file
// of a sane size. A FIFO or device in its place would block the read for ever,
// and a huge file would eat the memory and the time of the flight.
#pragma once

#include <cstdint>
#include <string>

class CRegularFile {
public:
    // True when path is a regular file of at most maxBytes; otherwise why
    // says what is wrong ("missing", "not a regular file", "larger than ...").
    static bool fits(const std::string& path, std::uintmax_t maxBytes, std::string& why);
    static bool exists(const std::string& path);
    static bool isRegular(const std::string& path);
    // True when nothing is there or a regular file: a file the client appends
    // to may be created, but a FIFO in its place would block the open.
    static bool absentOrRegular(const std::string& path);
    // The whole file when it fits; otherwise false with why as for fits, or
    // "cannot be read".
    static bool read(const std::string& path, std::uintmax_t maxBytes, std::string& text, std::string& why);
};
