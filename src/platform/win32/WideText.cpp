// UTF-8 and UTF-16 at the Windows API, and the text of a Windows error number.
#include "platform/win32/WideText.h"

#include "core/TextEncoding.h"

#include <windows.h>

// wchar_t is UTF-16 on Windows: the portable conversions serve, element by element.
std::wstring toWide(const std::string& text)
{
    const std::u16string wide = utf16FromUtf8(text);
    return std::wstring(wide.begin(), wide.end());
}

std::string fromWide(const std::wstring& text)
{
    std::string out;
    utf8FromUtf16(std::u16string(text.begin(), text.end()), out);
    return out;
}

std::string fromWide(const wchar_t* text)
{
    return text != nullptr ? fromWide(std::wstring(text)) : std::string();
}

bool fromWideStrict(const wchar_t* text, std::string& out)
{
    return utf8FromUtf16(std::u16string(text, text + wcslen(text)), out);
}

std::string windowsErrorText(unsigned long error)
{
    wchar_t* message = nullptr;
    const DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
    // WinHTTP's numbers live in its own module's message table.
    HMODULE winhttp = GetModuleHandleW(L"winhttp.dll");
    DWORD n = FormatMessageW(flags | (winhttp != nullptr ? FORMAT_MESSAGE_FROM_HMODULE : 0), winhttp, error, 0,
                             reinterpret_cast<wchar_t*>(&message), 0, nullptr);
    std::string text = n > 0 ? fromWide(message) : std::string();
    if (message != nullptr)
        LocalFree(message);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.'))
        text.pop_back();
    return "error " + std::to_string(error) + (text.empty() ? "" : ": " + text);
}
