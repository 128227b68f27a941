// Our own declarations of the simulator client library's calls and of the
// messages it hands back, written from its published interface: plain C
// exports, every call answers an HRESULT (negative is a failure), all
// structures packed to one byte. Only what this client uses is here.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define QVL_SIMCONNECT_CALL __stdcall
#else
#define QVL_SIMCONNECT_CALL
#endif

namespace SimConnectApi {

using DWORD = std::uint32_t;
using HRESULT = std::int32_t;
using HANDLE = void*;
using HWND = void*;

constexpr HRESULT kOk = 0;
constexpr HRESULT kFail = static_cast<HRESULT>(0x80004005u);

inline bool succeeded(HRESULT hr)
{
    return hr >= 0;
}

enum DataType : DWORD { TypeInt32 = 1, TypeInt64 = 2, TypeFloat32 = 3, TypeFloat64 = 4 };
enum Period : DWORD { PeriodNever = 0, PeriodOnce = 1 };
enum RecvId : DWORD {
    RecvIdException = 1,
    RecvIdOpen = 2,
    RecvIdQuit = 3,
    RecvIdEvent = 4,
    RecvIdEventFrame = 7,
    RecvIdObjectData = 8,
    RecvIdSystemState = 15,
};

constexpr DWORD kUserAircraft = 0;
constexpr DWORD kUnused = 0xFFFFFFFFu;
constexpr DWORD kTextScrollingGreen = 3;
constexpr DWORD kGroupPriorityDefault = 2000000000u;
constexpr DWORD kEventFlagGroupIsPriority = 0x10;

#pragma pack(push, 1)
struct RecvHeader {
    DWORD dwSize;
    DWORD dwVersion;
    DWORD dwID;
};

struct RecvOpen {
    RecvHeader header;
    char szApplicationName[256];
    DWORD dwApplicationVersionMajor;
    DWORD dwApplicationVersionMinor;
    DWORD dwApplicationBuildMajor;
    DWORD dwApplicationBuildMinor;
    DWORD dwSimConnectVersionMajor;
    DWORD dwSimConnectVersionMinor;
    DWORD dwSimConnectBuildMajor;
    DWORD dwSimConnectBuildMinor;
    DWORD dwReserved1;
    DWORD dwReserved2;
};

struct RecvEvent {
    RecvHeader header;
    DWORD uGroupID;
    DWORD uEventID;
    DWORD dwData;
};

struct RecvEventFrame {
    RecvEvent event;
    float fFrameRate;
    float fSimSpeed;
};

// The data of the definition follows the fixed part.
struct RecvObjectData {
    RecvHeader header;
    DWORD dwRequestID;
    DWORD dwObjectID;
    DWORD dwDefineID;
    DWORD dwFlags;
    DWORD dwentrynumber;
    DWORD dwoutof;
    DWORD dwDefineCount;
};

struct RecvSystemState {
    RecvHeader header;
    DWORD dwRequestID;
    DWORD dwInteger;
    float fFloat;
    char szString[260];
};
#pragma pack(pop)

static_assert(sizeof(RecvHeader) == 12);
static_assert(sizeof(RecvOpen) == 308 && offsetof(RecvOpen, dwApplicationVersionMajor) == 268);
static_assert(sizeof(RecvEvent) == 24 && offsetof(RecvEvent, uEventID) == 16);
static_assert(sizeof(RecvEventFrame) == 32 && offsetof(RecvEventFrame, fSimSpeed) == 28);
static_assert(sizeof(RecvObjectData) == 40 && offsetof(RecvObjectData, dwDefineCount) == 36);
static_assert(sizeof(RecvSystemState) == 284 && offsetof(RecvSystemState, szString) == 24);

using OpenFn = HRESULT(QVL_SIMCONNECT_CALL*)(HANDLE* handle, const char* name, HWND window, DWORD userEventWin32,
                                             HANDLE eventHandle, DWORD configIndex);
using CloseFn = HRESULT(QVL_SIMCONNECT_CALL*)(HANDLE handle);
using AddToDataDefinitionFn = HRESULT(QVL_SIMCONNECT_CALL*)(HANDLE handle, DWORD defineId, const char* datum,
                                                            const char* units, DWORD datatype, float epsilon,
                                                            DWORD datumId);
using MapClientEventToSimEventFn = HRESULT(QVL_SIMCONNECT_CALL*)(HANDLE handle, DWORD eventId, const char* name);
using SubscribeToSystemEventFn = HRESULT(QVL_SIMCONNECT_CALL*)(HANDLE handle, DWORD eventId, const char* name);
using SetDataOnSimObjectFn = HRESULT(QVL_SIMCONNECT_CALL*)(HANDLE handle, DWORD defineId, DWORD objectId, DWORD flags,
                                                           DWORD arrayCount, DWORD unitSize, void* data);
using RequestDataOnSimObjectFn = HRESULT(QVL_SIMCONNECT_CALL*)(HANDLE handle, DWORD requestId, DWORD defineId,
                                                               DWORD objectId, DWORD period, DWORD flags, DWORD origin,
                                                               DWORD interval, DWORD limit);
using TransmitClientEventFn = HRESULT(QVL_SIMCONNECT_CALL*)(HANDLE handle, DWORD objectId, DWORD eventId, DWORD data,
                                                            DWORD groupId, DWORD flags);
using TextFn = HRESULT(QVL_SIMCONNECT_CALL*)(HANDLE handle, DWORD textType, float seconds, DWORD eventId, DWORD size,
                                             void* text);
using GetNextDispatchFn = HRESULT(QVL_SIMCONNECT_CALL*)(HANDLE handle, RecvHeader** data, DWORD* size);
using FlightSaveFn = HRESULT(QVL_SIMCONNECT_CALL*)(HANDLE handle, const char* file, const char* title,
                                                   const char* description, DWORD flags);

} // namespace SimConnectApi
