// CSimConnectStandIn: loader, control calls and scratch folder.
#include "support/SimConnectStandIn.h"

#include "platform/SharedLibrary.h"

#include <atomic>
#include <cstring>
#include <filesystem>
#include <unistd.h>

namespace {
template <typename Fn> void resolve(SharedLibrary& lib, const char* name, Fn& out)
{
    void* address = lib.symbol(name);
    if (address != nullptr)
        std::memcpy(&out, &address, sizeof out);
}
} // namespace

CSimConnectStandIn::CSimConnectStandIn(const std::string& folder)
{
    static std::atomic<int> counter{0};
    dir = (std::filesystem::temp_directory_path() /
           ("qvl-simconnect-" + std::to_string(::getpid()) + "-" + std::to_string(++counter)))
              .string();
    std::filesystem::create_directories(dir);
    record = file("record");
    loader = createPlatformSharedLibraryLoader({folder}, false);
    setSharedLibraryLoader(loader.get());
    std::string error;
    library = loader->load("SimConnect.dll", error);
    if (!library)
        return;
    resolve(*library, "QvlSim_Configure", configureFn);
    resolve(*library, "QvlSim_Reset", resetFn);
    resolve(*library, "QvlSim_Advance", advanceFn);
    if (resetFn == nullptr || advanceFn == nullptr) {
        configureFn = nullptr;
        return;
    }
    resetFn();
    configure("scenario", "airline_eddf_eddm");
    configure("timeScale", "0");
    configure("record", record);
}

CSimConnectStandIn::~CSimConnectStandIn()
{
    if (resetFn != nullptr)
        resetFn();
    library.reset();
    setSharedLibraryLoader(nullptr);
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
}

std::string CSimConnectStandIn::file(const std::string& name) const
{
    return dir + "/" + name;
}

bool CSimConnectStandIn::configure(const std::string& key, const std::string& value)
{
    return configureFn != nullptr && configureFn(key.c_str(), value.c_str()) == 0;
}

bool CSimConnectStandIn::advance(double seconds)
{
    return advanceFn != nullptr && advanceFn(seconds) == 0;
}
