// UTF-8 text to std::filesystem::path and back, through char8_t.
#include "core/Utf8Path.h"

#ifdef _WIN32
namespace {

// The length of the well-formed UTF-8 sequence at text[i], 0 when there is none.
std::size_t sequenceAt(const std::string& text, std::size_t i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char c = byte(i);
    if (c < 0x80)
        return 1;
    const std::size_t n = c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
    if (n == 0 || i + n > text.size())
        return 0;
    for (std::size_t k = 1; k < n; ++k)
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
    const unsigned char second = byte(i + 1);
    // Overlong forms, surrogates and code points above U+10FFFF.
    if ((c == 0xE0 && second < 0xA0) || (c == 0xED && second > 0x9F) || (c == 0xF0 && second < 0x90) ||
        (c == 0xF4 && second > 0x8F))
        return 0;
    return n;
}

} // namespace
#endif

std::filesystem::path utf8Path(const std::string& text)
{
#ifndef _WIN32
    return std::filesystem::path(text); // names are bytes here, whatever they hold
#else
    // Windows converts the path to UTF-16 and throws on bytes that are not
    // UTF-8; such a name stands for no file here, so it opens nothing instead.
    std::u8string valid;
    valid.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = sequenceAt(text, i);
        if (n == 0) {
            valid += u8"\uFFFD";
            ++i;
            continue;
        }
        valid.append(text.begin() + static_cast<std::ptrdiff_t>(i), text.begin() + static_cast<std::ptrdiff_t>(i + n));
        i += n;
    }
    return std::filesystem::path(valid);
#endif
}

std::string utf8Text(const std::filesystem::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}
