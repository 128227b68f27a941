// DurableFiles on Windows: WriteFile loops, FlushFileBuffers, and MoveFileEx
// with replace and write-through, so the rename is on the disk when it returns.
#include "platform/DurableFiles.h"

#include "platform/win32/WideText.h"

#include <windows.h>

#include <string>

namespace {

thread_local std::string t_windowsError;

bool noteWindowsFailure(bool ok)
{
    if (!ok)
        t_windowsError = windowsErrorText(GetLastError());
    return ok;
}

class Win32File final : public DurableFile {
public:
    explicit Win32File(HANDLE h) : handle(h) {}
    ~Win32File() override
    {
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }
    Win32File(const Win32File&) = delete;
    Win32File& operator=(const Win32File&) = delete;

    bool write(const char* data, std::size_t size) override
    {
        while (handle != INVALID_HANDLE_VALUE && size > 0) {
            const DWORD chunk = size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size);
            DWORD written = 0;
            if (!noteWindowsFailure(WriteFile(handle, data, chunk, &written, nullptr)))
                return false;
            if (written == 0) {
                t_windowsError = "nothing written";
                return false;
            }
            data += written;
            size -= written;
        }
        return handle != INVALID_HANDLE_VALUE;
    }
    bool flushToDisk() override
    {
        return handle != INVALID_HANDLE_VALUE && noteWindowsFailure(FlushFileBuffers(handle));
    }
    bool close() override
    {
        if (handle == INVALID_HANDLE_VALUE)
            return false;
        const bool ok = noteWindowsFailure(CloseHandle(handle));
        handle = INVALID_HANDLE_VALUE;
        return ok;
    }

private:
    HANDLE handle;
};

class Win32DurableFiles final : public DurableFiles {
public:
    std::unique_ptr<DurableFile> create(const std::string& path) override
    {
        // Others may read and rename it meanwhile (a virus scanner, the backup's reader).
        const HANDLE h = CreateFileW(toWide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                     CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (!noteWindowsFailure(h != INVALID_HANDLE_VALUE))
            return nullptr;
        return std::make_unique<Win32File>(h);
    }

    bool replace(const std::string& from, const std::string& to) override
    {
        return MoveFileExW(toWide(from).c_str(), toWide(to).c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    }

    bool remove(const std::string& path) override { return DeleteFileW(toWide(path).c_str()); }
    std::string lastError() const override { return t_windowsError; }
};

} // namespace

std::unique_ptr<DurableFiles> createPlatformDurableFiles()
{
    return std::make_unique<Win32DurableFiles>();
}
