// The one way text enters a fixed-size field: cut to size - 1 and terminated.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

inline void copyText(char* dst, std::size_t size, std::string_view src)
{
    if (size == 0)
        return;
    const std::size_t n = src.size() < size - 1 ? src.size() : size - 1;
    if (n > 0)
        std::memmove(dst, src.data(), n);
    dst[n] = '\0';
}

template <std::size_t N>
inline void copyText(char (&dst)[N], std::string_view src)
{
    copyText(dst, N, src);
}

// Reads a fixed field that may lack its terminator (store and wire data).
template <std::size_t N>
inline std::string fieldText(const char (&src)[N])
{
    return std::string(src, strnlen(src, N));
}
