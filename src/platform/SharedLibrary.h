// The shared-library seam: load a library by its Windows file name and
// resolve its functions by name. Each platform maps the name to its own file
// ("SimConnect.dll" is libSimConnect.so on Linux) and decides where to look.
#pragma once

#include <memory>
#include <string>
#include <vector>

class SharedLibrary {
public:
    virtual ~SharedLibrary() = default;
    // Address of an exported function; nullptr when the library lacks it.
    virtual void* symbol(const std::string& name) = 0;
};

class SharedLibraryLoader {
public:
    virtual ~SharedLibraryLoader() = default;
    // nullptr with the platform's reason in `error` when nothing could be loaded.
    virtual std::unique_ptr<SharedLibrary> load(const std::string& name, std::string& error) = 0;
    // After a failed load: the error line of the step before the load itself
    // that failed (Windows: the side-by-side assembly), empty when the load
    // itself failed.
    virtual std::string failedStep() const { return {}; }
};

// The process's loader; until one is installed every load fails.
SharedLibraryLoader& sharedLibraryLoader();
// Installs a loader (not owned); nullptr restores the failing one.
void setSharedLibraryLoader(SharedLibraryLoader* loader);

// The platform's own loader (PosixSharedLibrary.cpp): the folder named by
// QVL_SIMCONNECT_LIBRARY_DIR when set (tests and the demo), then the system
// loader's search path.
std::unique_ptr<SharedLibraryLoader> createPlatformSharedLibraryLoader();
// A loader that looks only in `folders`, in order, and then in the loader's
// search path when `searchLoaderPath` is set.
std::unique_ptr<SharedLibraryLoader> createPlatformSharedLibraryLoader(const std::vector<std::string>& folders,
                                                                       bool searchLoaderPath);
