// SharedLibrary on Windows: LoadLibrary inside the activation context of the
// manifest the program carries as resource 101, which names the side-by-side
// assembly of the simulator's client library. A loader given folders (tests)
// loads from those folders by full path instead.
#include "platform/SharedLibrary.h"

#include "platform/win32/WideText.h"

#include <windows.h>

#include <cstring>

namespace {

constexpr WORD kManifestResource = 101;

class Win32SharedLibrary final : public SharedLibrary {
public:
    explicit Win32SharedLibrary(HMODULE h) : module(h) {}
    ~Win32SharedLibrary() override { FreeLibrary(module); }
    Win32SharedLibrary(const Win32SharedLibrary&) = delete;
    Win32SharedLibrary& operator=(const Win32SharedLibrary&) = delete;

    void* symbol(const std::string& name) override
    {
        FARPROC address = GetProcAddress(module, name.c_str());
        void* out = nullptr;
        static_assert(sizeof out == sizeof address);
        std::memcpy(&out, &address, sizeof out);
        return out;
    }

private:
    HMODULE module;
};

std::unique_ptr<SharedLibrary> loadFile(const std::wstring& file, std::string& error)
{
    if (HMODULE h = LoadLibraryW(file.c_str()))
        return std::make_unique<Win32SharedLibrary>(h);
    error = fromWide(file) + ": " + windowsErrorText(GetLastError());
    return nullptr;
}

// The program's own loader: every step inside the manifest's activation context.
class ActivationContextLoader final : public SharedLibraryLoader {
public:
    std::unique_ptr<SharedLibrary> load(const std::string& name, std::string& error) override
    {
        step.clear();
        ACTCTXW context{};
        context.cbSize = sizeof context;
        context.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID | ACTCTX_FLAG_HMODULE_VALID;
        context.hModule = GetModuleHandleW(nullptr);
        context.lpResourceName = MAKEINTRESOURCEW(kManifestResource);
        const HANDLE actCtx = CreateActCtxW(&context);
        if (actCtx == INVALID_HANDLE_VALUE) {
            error = "activation context: " + windowsErrorText(GetLastError());
            step = "Required Version of " + name + " not installed";
            return nullptr;
        }
        ULONG_PTR cookie = 0;
        if (!ActivateActCtx(actCtx, &cookie)) {
            error = "activating the context: " + windowsErrorText(GetLastError());
            ReleaseActCtx(actCtx);
            step = "Version of " + name + " not working";
            return nullptr;
        }
        std::unique_ptr<SharedLibrary> library = loadFile(toWide(name), error);
        DeactivateActCtx(0, cookie);
        ReleaseActCtx(actCtx);
        return library;
    }

    std::string failedStep() const override { return step; }

private:
    std::string step;
};

class FolderLoader final : public SharedLibraryLoader {
public:
    FolderLoader(std::vector<std::string> dirs, bool loaderPath)
        : folders(std::move(dirs)), searchLoaderPath(loaderPath)
    {
    }

    std::unique_ptr<SharedLibrary> load(const std::string& name, std::string& error) override
    {
        error.clear();
        for (const std::string& folder : folders) {
            if (folder.empty())
                continue;
            const std::wstring path = toWide(folder + "\\" + name);
            if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
                continue;
            std::string reason;
            if (auto library = loadFile(path, reason))
                return library;
            error = reason; // there but not loadable: worth reporting even if another loads
        }
        if (searchLoaderPath) {
            std::string reason;
            if (auto library = loadFile(toWide(name), reason))
                return library;
            if (error.empty())
                error = reason;
        }
        if (error.empty())
            error = name + ": not found";
        return nullptr;
    }

private:
    std::vector<std::string> folders;
    bool searchLoaderPath;
};

} // namespace

std::unique_ptr<SharedLibraryLoader> createPlatformSharedLibraryLoader()
{
    return std::make_unique<ActivationContextLoader>();
}

std::unique_ptr<SharedLibraryLoader> createPlatformSharedLibraryLoader(const std::vector<std::string>& folders,
                                                                       bool searchLoaderPath)
{
    return std::make_unique<FolderLoader>(folders, searchLoaderPath);
}
