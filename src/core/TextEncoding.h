// Text is UTF-8 throughout the client. It crosses two borders: UTF-16 at the
// Windows API, and 8-bit text of other origins (an old settings file, a name
// typed in another code page). One rule for each, the same on every system:
// bytes that start no well-formed UTF-8 sequence become U+FFFD, and a window
// shows text that is not UTF-8 as Latin-1, so nothing typed is dropped.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The length of the well-formed UTF-8 sequence at text[at] (1 to 4), 0 when
// none starts there (overlong forms, surrogates and code points above
// U+10FFFF are not well formed).
std::size_t utf8SequenceLength(std::string_view text, std::size_t at);
bool isUtf8(std::string_view text);
// The text with each byte that starts no well-formed sequence as U+FFFD.
std::string validUtf8(std::string_view text);
// What a window shows: UTF-8 as it is, anything else read as Latin-1.
std::string displayText(std::string_view text);

// UTF-16 of validUtf8(text).
std::u16string utf16FromUtf8(std::string_view text);
// UTF-8 of UTF-16 text into `out`; a lone surrogate becomes U+FFFD and makes
// the answer false.
bool utf8FromUtf16(std::u16string_view text, std::string& out);
