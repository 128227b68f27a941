// The simulator-module transport on Windows: the module's top-level window,
// a registered message, a global atom naming a page-file mapping, and
// SendMessageTimeout that returns once the module has walked the block.
#include "platform/FsuipcTransport.h"

#include "platform/win32/WideText.h"

#include <windows.h>

namespace {

class Win32FsuipcTransport final : public FsuipcTransport {
public:
    ~Win32FsuipcTransport() override
    {
        closeMapping();
        deleteAtom();
    }

    bool findWindow(const std::string& className) override
    {
        window = FindWindowExW(nullptr, nullptr, toWide(className).c_str(), nullptr);
        return window != nullptr;
    }

    std::uint32_t registerMessage(const std::string& name) override
    {
        return RegisterWindowMessageW(toWide(name).c_str());
    }

    bool addAtom(const std::string& name) override
    {
        deleteAtom();
        atom = GlobalAddAtomW(toWide(name).c_str());
        return atom != 0;
    }

    MapStatus createMapping(const std::string& name, std::size_t size) override
    {
        closeMapping();
        const auto size64 = static_cast<unsigned long long>(size);
        mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, static_cast<DWORD>(size64 >> 32),
                                     static_cast<DWORD>(size64 & 0xFFFFFFFFu), toWide(name).c_str());
        if (mapping == nullptr)
            return MapStatus::Failed;
        if (GetLastError() == ERROR_ALREADY_EXISTS) {
            closeMapping();
            return MapStatus::NameExists;
        }
        mapped = static_cast<std::uint8_t*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
        if (mapped == nullptr) {
            closeMapping();
            return MapStatus::Failed;
        }
        return MapStatus::Mapped;
    }

    std::uint8_t* view() override { return mapped; }

    SendOutcome sendMessage(std::uint32_t message, std::uint32_t timeoutMs) override
    {
        if (window == nullptr)
            return SendOutcome{SendStatus::Failed, 0, static_cast<int>(ERROR_INVALID_WINDOW_HANDLE)};
        DWORD_PTR answer = 0;
        SetLastError(0);
        const LRESULT sent = SendMessageTimeoutW(window, message, atom, 0, SMTO_BLOCK, timeoutMs, &answer);
        if (sent != 0)
            return SendOutcome{SendStatus::Answered, static_cast<std::uint32_t>(answer), 0};
        const DWORD error = GetLastError();
        if (error == ERROR_TIMEOUT || error == 0)
            return SendOutcome{SendStatus::TimedOut, 0, 0};
        return SendOutcome{SendStatus::Failed, 0, static_cast<int>(error)};
    }

    void forgetWindow() override { window = nullptr; }

    void deleteAtom() override
    {
        if (atom != 0)
            GlobalDeleteAtom(atom);
        atom = 0;
    }

    void closeMapping() override
    {
        if (mapped != nullptr)
            UnmapViewOfFile(mapped);
        mapped = nullptr;
        if (mapping != nullptr)
            CloseHandle(mapping);
        mapping = nullptr;
    }

    std::uint32_t processId() override { return GetCurrentProcessId(); }

private:
    HWND window = nullptr;
    ATOM atom = 0;
    HANDLE mapping = nullptr;
    std::uint8_t* mapped = nullptr;
};

} // namespace

std::unique_ptr<FsuipcTransport> createPlatformFsuipcTransport()
{
    return std::make_unique<Win32FsuipcTransport>();
}
