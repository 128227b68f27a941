// SystemInfo on Windows: the shell's application-data folder, the running
// program's path, and the volume serial number of the system drive.
#include "platform/SystemInfo.h"

#include "core/TextEncoding.h"
#include "platform/win32/WideText.h"

#include <windows.h>

#include <shlobj.h>

#include <cstdio>

namespace {

bool makeDirectory(const std::string& path)
{
    const std::wstring wide = toWide(path);
    if (!CreateDirectoryW(wide.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return false;
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

class Win32SystemInfo final : public SystemInfo {
public:
    std::string userDataFolder() override
    {
        wchar_t folder[MAX_PATH] = {};
        if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, folder)))
            return {};
        std::string path = fromWide(folder);
        if (path.empty())
            return {};
        if (path.back() != '\\')
            path += '\\';
        return path;
    }

    std::string programPath() override
    {
        std::wstring buffer(MAX_PATH, L'\0');
        for (;;) {
            const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
            if (n == 0)
                return {};
            if (n < buffer.size())
                return fromWide(buffer.substr(0, n));
            buffer.resize(buffer.size() * 2);
        }
    }

    std::string osName() override { return "Windows"; }

    std::string machineId() override
    {
        DWORD serial = 0; // a failed call leaves it at 0, which is sent as it is
        GetVolumeInformationW(L"C:\\", nullptr, 0, &serial, nullptr, nullptr, nullptr, 0);
        char out[9];
        std::snprintf(out, sizeof out, "%08X", static_cast<unsigned>(serial));
        return out;
    }

    bool createDirectory(const std::string& path) override { return makeDirectory(path); }

    std::string storedTextToUtf8(const std::string& stored) override
    {
        // Files an earlier client wrote in UTF-8 stay readable: text in the
        // code page with letters beyond ASCII is hardly ever valid UTF-8.
        if (isUtf8(stored))
            return stored;
        return fromWide(codePageToWide(stored));
    }

    bool utf8ToStoredText(const std::string& text, std::string& stored) override
    {
        const std::wstring wide = toWide(text);
        stored.clear();
        if (wide.empty())
            return true;
        BOOL lost = FALSE;
        const int size = static_cast<int>(wide.size());
        const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, nullptr, 0, nullptr, &lost);
        stored.resize(static_cast<std::size_t>(n > 0 ? n : 0));
        if (n > 0)
            WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, stored.data(), n, nullptr, &lost);
        return n > 0 && !lost;
    }

private:
    static std::wstring codePageToWide(const std::string& text)
    {
        const int size = static_cast<int>(text.size());
        const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
        std::wstring out(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
        if (n > 0)
            MultiByteToWideChar(CP_ACP, 0, text.data(), size, out.data(), n);
        return out;
    }
};

} // namespace

std::unique_ptr<SystemInfo> createPlatformSystemInfo()
{
    return std::make_unique<Win32SystemInfo>();
}
