// UTF-8 inside the program, UTF-16 at the Windows API: the conversions between
// them and the text of a Windows error number.
#pragma once

#include <string>

// Bytes that are not UTF-8 become U+FFFD (core/TextEncoding.h).
std::wstring toWide(const std::string& text);
std::string fromWide(const std::wstring& text);
std::string fromWide(const wchar_t* text);
// False for UTF-16 that no UTF-8 stands for (a lone surrogate); fromWide would
// put a replacement character in its place.
bool fromWideStrict(const wchar_t* text, std::string& out);
// "text (error 5: Access is denied.)" for GetLastError() numbers.
std::string windowsErrorText(unsigned long error);
