// CSimConnectLibrary: loading, resolving and releasing.
#include "sim/simconnect/SimConnectLibrary.h"

#include "core/DebugLog.h"
#include "platform/SharedLibrary.h"

#include <cstring>

namespace {
constexpr const char* kLibraryName = "SimConnect.dll";

// Function addresses come back as object pointers; copy the bits into the function pointer.
template <typename Fn> bool resolve(SharedLibrary& lib, const char* name, Fn& out, CDebugLog& log)
{
    void* address = lib.symbol(name);
    if (address == nullptr) {
        log.errorf("%s lacks the function %s", kLibraryName, name);
        return false;
    }
    static_assert(sizeof(Fn) == sizeof(address));
    std::memcpy(&out, &address, sizeof out);
    return true;
}
} // namespace

CSimConnectLibrary::CSimConnectLibrary() = default;
CSimConnectLibrary::~CSimConnectLibrary() = default;

bool CSimConnectLibrary::load(CDebugLog& log)
{
    if (library)
        return true;
    // The activation context of the side-by-side assembly exists only on Windows;
    // elsewhere the platform loader finds the library by itself.
    std::string reason;
    std::unique_ptr<SharedLibrary> lib = sharedLibraryLoader().load(kLibraryName, reason);
    if (!lib) {
        log.debug("SimConnect.dll not loaded: " + reason);
        const std::string step = sharedLibraryLoader().failedStep();
        log.error(step.empty() ? "Couldn't load SimConnect.dll" : step);
        return false;
    }
    library = std::move(lib);
    if (!resolveAll(log)) {
        library.reset();
        clearFunctions();
        log.error("Couldn't load SimConnect.dll");
        return false;
    }
    log.debug("SimConnect.dll loaded");
    return true;
}

bool CSimConnectLibrary::resolveAll(CDebugLog& log)
{
    SharedLibrary& lib = *library;
    return resolve(lib, "SimConnect_Open", Open, log) &&
           resolve(lib, "SimConnect_AddToDataDefinition", AddToDataDefinition, log) &&
           resolve(lib, "SimConnect_MapClientEventToSimEvent", MapClientEventToSimEvent, log) &&
           resolve(lib, "SimConnect_SubscribeToSystemEvent", SubscribeToSystemEvent, log) &&
           resolve(lib, "SimConnect_SetDataOnSimObject", SetDataOnSimObject, log) &&
           resolve(lib, "SimConnect_Close", Close, log) &&
           resolve(lib, "SimConnect_RequestDataOnSimObject", RequestDataOnSimObject, log) &&
           resolve(lib, "SimConnect_TransmitClientEvent", TransmitClientEvent, log) &&
           resolve(lib, "SimConnect_Text", Text, log) &&
           resolve(lib, "SimConnect_GetNextDispatch", GetNextDispatch, log) &&
           resolve(lib, "SimConnect_FlightSave", FlightSave, log);
}

void CSimConnectLibrary::clearFunctions()
{
    Open = nullptr;
    AddToDataDefinition = nullptr;
    MapClientEventToSimEvent = nullptr;
    SubscribeToSystemEvent = nullptr;
    SetDataOnSimObject = nullptr;
    Close = nullptr;
    RequestDataOnSimObject = nullptr;
    TransmitClientEvent = nullptr;
    Text = nullptr;
    GetNextDispatch = nullptr;
    FlightSave = nullptr;
}

void CSimConnectLibrary::release(CDebugLog& log)
{
    if (!library)
        return;
    clearFunctions();
    library.reset();
    log.debug("SimConnect.dll released");
}
