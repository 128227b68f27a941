// Paths are UTF-8 text throughout the client. These turn one into a path the
// C++ library opens right on every system (UTF-16 on Windows) and back.
#pragma once

#include <filesystem>
#include <string>

// On Windows, bytes that are not UTF-8 (a name in another code page) become
// U+FFFD, so the path names no file rather than throwing.
std::filesystem::path utf8Path(const std::string& text);
std::string utf8Text(const std::filesystem::path& path);
