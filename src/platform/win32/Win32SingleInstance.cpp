// SingleInstance on Windows: a named mutex per data folder. The system
// releases it when the process ends, however it ends.
#include "platform/SingleInstance.h"

#include "platform/win32/WideText.h"

#include <windows.h>

namespace {

// Kernel object names may not hold backslashes; the folder becomes a hash.
std::wstring objectName(const std::string& folder, const std::string& name)
{
    std::uint32_t h = 2166136261u;
    for (unsigned char c : folder) {
        h ^= static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        h *= 16777619u;
    }
    return L"Local\\" + toWide(name) + L"." + std::to_wstring(h);
}

class Win32SingleInstance final : public SingleInstance {
public:
    explicit Win32SingleInstance(std::wstring objectName) : name(std::move(objectName)) {}
    ~Win32SingleInstance() override
    {
        if (handle != nullptr)
            CloseHandle(handle);
    }
    Win32SingleInstance(const Win32SingleInstance&) = delete;
    Win32SingleInstance& operator=(const Win32SingleInstance&) = delete;

    Claim claim() override
    {
        if (handle != nullptr)
            return Claim::First;
        const HANDLE h = CreateMutexW(nullptr, FALSE, name.c_str());
        if (h == nullptr) {
            const DWORD e = GetLastError();
            if (e == ERROR_ACCESS_DENIED)
                return Claim::Refused; // made by another user's client in the same session
            error = "cannot create the instance object: " + windowsErrorText(e);
            return Claim::Unavailable;
        }
        if (GetLastError() == ERROR_ALREADY_EXISTS) {
            CloseHandle(h);
            return Claim::Refused;
        }
        handle = h;
        return Claim::First;
    }
    std::string lastError() const override { return error; }

private:
    std::wstring name;
    std::string error;
    HANDLE handle = nullptr;
};

} // namespace

std::unique_ptr<SingleInstance> createPlatformSingleInstance(const std::string& folder, const std::string& name)
{
    return std::make_unique<Win32SingleInstance>(objectName(folder, name));
}
