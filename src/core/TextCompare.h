// Case-insensitive comparison of ASCII codes (airport codes, keys).
#pragma once

#include <string_view>

inline bool equalsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z')
            x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

// True when a list of codes separated by blanks and commas holds `code`
// (any letter case). Tokens of 16 characters or more are never codes.
inline bool listContainsCode(std::string_view list, std::string_view code)
{
    std::size_t pos = 0;
    while (pos < list.size()) {
        const std::size_t end = list.find_first_of(" ,", pos);
        const std::size_t stop = end == std::string_view::npos ? list.size() : end;
        const std::string_view token = list.substr(pos, stop - pos);
        if (!token.empty() && token.size() < 16 && equalsNoCase(token, code))
            return true;
        pos = stop + 1;
    }
    return false;
}
