// Base64 (RFC 4648, "=" padding) for the free text of uploads, cut so that
// the output never exceeds 1024 characters.
#pragma once

#include <cstddef>
#include <string_view>

inline constexpr std::size_t kBase64Limit = 1024;

// Encodes the bytes of text; encoding stops once more than 1023 characters are
// written, and a final partial group is added only below 1024. Writes at most
// size - 1 characters and a terminator; returns the number written. A buffer
// of kBase64Limit + 1 holds every result.
std::size_t base64Encode(char* destination, std::size_t size, std::string_view text);

template <std::size_t N> std::size_t base64Encode(char (&destination)[N], std::string_view text)
{
    return base64Encode(destination, N, text);
}
