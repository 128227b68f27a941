// Conversions between UTF-8 and UTF-16 with the Windows API.
#include "platform/win32/WideText.h"

#include <windows.h>

std::wstring toWide(const std::string& text)
{
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_UTF8, 0, text.data(), size, out.data(), n);
    return out;
}

std::string fromWide(const std::wstring& text)
{
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), size, out.data(), n, nullptr, nullptr);
    return out;
}

std::string fromWide(const wchar_t* text)
{
    return text != nullptr ? fromWide(std::wstring(text)) : std::string();
}

bool fromWideStrict(const wchar_t* text, std::string& out)
{
    out.clear();
    const int size = static_cast<int>(wcslen(text));
    if (size == 0)
        return true;
    const int n = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text, size, nullptr, 0, nullptr, nullptr);
    if (n <= 0)
        return false;
    out.resize(static_cast<std::size_t>(n));
    return WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text, size, out.data(), n, nullptr, nullptr) == n;
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
