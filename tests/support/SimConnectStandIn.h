// The stand-in SimConnect library for a test: the platform loader installed
// to look only in the given folder, the library's control calls resolved
// through a handle of the test's own, the stand-in reset to a manual clock
// and a private record file, and everything undone at the end.
#pragma once

#include <memory>
#include <string>

class SharedLibrary;
class SharedLibraryLoader;

class CSimConnectStandIn {
public:
    explicit CSimConnectStandIn(const std::string& folder);
    ~CSimConnectStandIn();
    CSimConnectStandIn(const CSimConnectStandIn&) = delete;
    CSimConnectStandIn& operator=(const CSimConnectStandIn&) = delete;

    // False when the folder holds no usable stand-in.
    bool controllable() const { return configureFn != nullptr; }
    bool configure(const std::string& key, const std::string& value);
    bool advance(double seconds);
    const std::string& recordPath() const { return record; }
    // A scratch file name private to this stand-in.
    std::string file(const std::string& name) const;

private:
    std::unique_ptr<SharedLibraryLoader> loader;
    std::unique_ptr<SharedLibrary> library;
    int (*configureFn)(const char*, const char*) = nullptr;
    int (*resetFn)() = nullptr;
    int (*advanceFn)(double) = nullptr;
    std::string dir;
    std::string record;
};
