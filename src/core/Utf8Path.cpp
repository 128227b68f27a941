// UTF-8 text to std::filesystem::path and back, through char8_t.
#include "core/Utf8Path.h"

#include "core/TextEncoding.h"

std::filesystem::path utf8Path(const std::string& text)
{
#ifndef _WIN32
    return std::filesystem::path(text); // names are bytes here, whatever they hold
#else
    // Windows converts the path to UTF-16 and throws on bytes that are not
    // UTF-8; such a name stands for no file here, so it opens nothing instead.
    const std::string valid = validUtf8(text);
    return std::filesystem::path(std::u8string(valid.begin(), valid.end()));
#endif
}

std::string utf8Text(const std::filesystem::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}
