// SharedLibrary on Linux: dlopen of lib<name>.so, looked up in given folders
// (by default only the one QVL_SIMCONNECT_LIBRARY_DIR names) before the
// loader's search path.
#include "platform/SharedLibrary.h"

#include <cstdlib>
#include <dlfcn.h>
#include <unistd.h>

namespace {

class PosixSharedLibrary final : public SharedLibrary {
public:
    explicit PosixSharedLibrary(void* h) : handle(h) {}
    ~PosixSharedLibrary() override { ::dlclose(handle); }
    PosixSharedLibrary(const PosixSharedLibrary&) = delete;
    PosixSharedLibrary& operator=(const PosixSharedLibrary&) = delete;

    void* symbol(const std::string& name) override { return ::dlsym(handle, name.c_str()); }

private:
    void* handle;
};

// "SimConnect.dll" -> "libSimConnect.so"; other names are kept.
std::string fileNameFor(const std::string& name)
{
    const std::string dll = ".dll";
    if (name.size() > dll.size() && name.compare(name.size() - dll.size(), dll.size(), dll) == 0)
        return "lib" + name.substr(0, name.size() - dll.size()) + ".so";
    return name;
}

class PosixSharedLibraryLoader final : public SharedLibraryLoader {
public:
    PosixSharedLibraryLoader(std::vector<std::string> dirs, bool loaderPath)
        : folders(std::move(dirs)), searchLoaderPath(loaderPath)
    {
    }

    std::unique_ptr<SharedLibrary> load(const std::string& name, std::string& error) override
    {
        const std::string file = fileNameFor(name);
        error.clear();
        for (const std::string& folder : folders) {
            if (folder.empty())
                continue;
            const std::string path = folder + "/" + file;
            if (::access(path.c_str(), F_OK) != 0)
                continue;
            if (void* h = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL))
                return std::make_unique<PosixSharedLibrary>(h);
            // A file that is there but does not load is worth reporting even if another loads.
            error = lastError();
        }
        if (searchLoaderPath) {
            if (void* h = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL))
                return std::make_unique<PosixSharedLibrary>(h);
            if (error.empty())
                error = lastError();
        }
        if (error.empty())
            error = file + ": not found";
        return nullptr;
    }

private:
    static std::string lastError()
    {
        const char* e = ::dlerror();
        return e != nullptr ? e : "unknown error";
    }

    std::vector<std::string> folders;
    bool searchLoaderPath;
};

} // namespace

std::unique_ptr<SharedLibraryLoader> createPlatformSharedLibraryLoader()
{
    // Never the program's own folder: a stand-in library left beside a build
    // must not pass for the simulator's.
    const char* folder = std::getenv("QVL_SIMCONNECT_LIBRARY_DIR");
    return createPlatformSharedLibraryLoader({folder != nullptr ? folder : ""}, true);
}

std::unique_ptr<SharedLibraryLoader> createPlatformSharedLibraryLoader(const std::vector<std::string>& folders,
                                                                       bool searchLoaderPath)
{
    return std::make_unique<PosixSharedLibraryLoader>(folders, searchLoaderPath);
}
