// The stand-in client library's exports: the eleven calls the client resolves,
// with the published signatures, and three control calls for test programs.
// Built twice: the second build leaves out SimConnect_FlightSave, for the
// client's test of a library that lacks a function.
#include "StandInHost.h"

using namespace StandInApi;

#if defined(_WIN32)
#define QVL_STANDIN_EXPORT extern "C" __declspec(dllexport)
#else
#define QVL_STANDIN_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {
CStandInHost& host()
{
    static CStandInHost theHost;
    return theHost;
}
} // namespace

QVL_STANDIN_EXPORT HRESULT QVL_STANDIN_CALL SimConnect_Open(HANDLE* handle, const char*, HWND, DWORD, HANDLE, DWORD)
{
    return host().open(handle);
}

QVL_STANDIN_EXPORT HRESULT QVL_STANDIN_CALL SimConnect_Close(HANDLE handle)
{
    return host().close(handle);
}

QVL_STANDIN_EXPORT HRESULT QVL_STANDIN_CALL SimConnect_AddToDataDefinition(HANDLE handle, DWORD defineId,
                                                                           const char* datum, const char* units,
                                                                           DWORD datatype, float, DWORD)
{
    return host().addToDataDefinition(handle, defineId, datum, units, datatype);
}

QVL_STANDIN_EXPORT HRESULT QVL_STANDIN_CALL SimConnect_MapClientEventToSimEvent(HANDLE handle, DWORD eventId,
                                                                                const char* name)
{
    return host().mapClientEvent(handle, eventId, name);
}

QVL_STANDIN_EXPORT HRESULT QVL_STANDIN_CALL SimConnect_SubscribeToSystemEvent(HANDLE handle, DWORD eventId,
                                                                              const char* name)
{
    return host().subscribeToSystemEvent(handle, eventId, name);
}

QVL_STANDIN_EXPORT HRESULT QVL_STANDIN_CALL SimConnect_SetDataOnSimObject(HANDLE handle, DWORD defineId, DWORD objectId,
                                                                          DWORD, DWORD, DWORD unitSize, void* data)
{
    return host().setData(handle, defineId, objectId, unitSize, data);
}

QVL_STANDIN_EXPORT HRESULT QVL_STANDIN_CALL SimConnect_RequestDataOnSimObject(HANDLE handle, DWORD requestId,
                                                                              DWORD defineId, DWORD objectId,
                                                                              DWORD period, DWORD, DWORD, DWORD, DWORD)
{
    return host().requestData(handle, requestId, defineId, objectId, period);
}

QVL_STANDIN_EXPORT HRESULT QVL_STANDIN_CALL SimConnect_TransmitClientEvent(HANDLE handle, DWORD objectId, DWORD eventId,
                                                                           DWORD, DWORD, DWORD)
{
    return host().transmitClientEvent(handle, objectId, eventId);
}

QVL_STANDIN_EXPORT HRESULT QVL_STANDIN_CALL SimConnect_Text(HANDLE handle, DWORD, float seconds, DWORD, DWORD size,
                                                            void* text)
{
    return host().text(handle, seconds, size, text);
}

QVL_STANDIN_EXPORT HRESULT QVL_STANDIN_CALL SimConnect_GetNextDispatch(HANDLE handle, SIMCONNECT_RECV** data,
                                                                       DWORD* size)
{
    return host().getNextDispatch(handle, data, size);
}

#ifndef QVL_STANDIN_WITHOUT_FLIGHT_SAVE
QVL_STANDIN_EXPORT HRESULT QVL_STANDIN_CALL SimConnect_FlightSave(HANDLE handle, const char* file, const char*,
                                                                  const char*, DWORD)
{
    return host().flightSave(handle, file);
}
#endif

// Sets a setting (the QVL_SIMCONNECT_* variable's key); it applies when the
// aircraft model is next created. 0, or -1 for an unknown key.
QVL_STANDIN_EXPORT int QvlSim_Configure(const char* key, const char* value)
{
    return key != nullptr && value != nullptr && host().configure(key, value) ? 0 : -1;
}

// Drops every connection, the aircraft model and the settings made by QvlSim_Configure.
QVL_STANDIN_EXPORT int QvlSim_Reset()
{
    host().reset();
    return 0;
}

// Moves the aircraft model on (creating it if needed); -1 when it cannot be created.
QVL_STANDIN_EXPORT int QvlSim_Advance(double seconds)
{
    return host().advance(seconds) ? 0 : -1;
}
