// UTF-8 inside the program, UTF-16 at the Windows API: the conversions between
// them and the text of a Windows error number.
#pragma once

#include <string>

std::wstring toWide(const std::string& text);
std::string fromWide(const std::wstring& text);
std::string fromWide(const wchar_t* text);
// "text (error 5: Access is denied.)" for GetLastError() numbers.
std::string windowsErrorText(unsigned long error);
