// The simulator client library loaded at run time: the library itself and the
// eleven functions the adapter calls, resolved by name. A library that lacks
// any of them is not used at all.
#pragma once

#include "sim/simconnect/SimConnectApi.h"

#include <memory>

class CDebugLog;
class SharedLibrary;

class CSimConnectLibrary {
public:
    CSimConnectLibrary();
    ~CSimConnectLibrary();
    CSimConnectLibrary(const CSimConnectLibrary&) = delete;
    CSimConnectLibrary& operator=(const CSimConnectLibrary&) = delete;

    // Loads "SimConnect.dll" through the platform loader; true when loaded
    // (or already loaded) with every function resolved.
    bool load(CDebugLog& log);
    void release(CDebugLog& log);
    bool isLoaded() const { return library != nullptr; }

    SimConnectApi::OpenFn Open = nullptr;
    SimConnectApi::AddToDataDefinitionFn AddToDataDefinition = nullptr;
    SimConnectApi::MapClientEventToSimEventFn MapClientEventToSimEvent = nullptr;
    SimConnectApi::SubscribeToSystemEventFn SubscribeToSystemEvent = nullptr;
    SimConnectApi::SetDataOnSimObjectFn SetDataOnSimObject = nullptr;
    SimConnectApi::CloseFn Close = nullptr;
    SimConnectApi::RequestDataOnSimObjectFn RequestDataOnSimObject = nullptr;
    SimConnectApi::TransmitClientEventFn TransmitClientEvent = nullptr;
    SimConnectApi::TextFn Text = nullptr;
    SimConnectApi::GetNextDispatchFn GetNextDispatch = nullptr;
    SimConnectApi::FlightSaveFn FlightSave = nullptr;

private:
    bool resolveAll(CDebugLog& log);
    void clearFunctions();

    std::unique_ptr<SharedLibrary> library;
};
