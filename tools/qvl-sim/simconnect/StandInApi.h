// The interface the stand-in library serves, declared here from the
// published facts of the simulator's client library (names, constants and
// the packed message layouts), independently of the client's own
// declarations: a client that gets a layout or a constant wrong then fails
// against this library instead of agreeing with itself.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define QVL_STANDIN_CALL __stdcall
#else
#define QVL_STANDIN_CALL
#endif

namespace StandInApi {

using DWORD = std::uint32_t;
using HRESULT = std::int32_t;
using HANDLE = void*;
using HWND = void*;

constexpr HRESULT S_OK = 0;
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);

enum SIMCONNECT_DATATYPE : DWORD {
    SIMCONNECT_DATATYPE_INVALID = 0,
    SIMCONNECT_DATATYPE_INT32 = 1,
    SIMCONNECT_DATATYPE_INT64 = 2,
    SIMCONNECT_DATATYPE_FLOAT32 = 3,
    SIMCONNECT_DATATYPE_FLOAT64 = 4,
};

enum SIMCONNECT_PERIOD : DWORD {
    SIMCONNECT_PERIOD_NEVER = 0,
    SIMCONNECT_PERIOD_ONCE = 1,
    SIMCONNECT_PERIOD_VISUAL_FRAME = 2,
    SIMCONNECT_PERIOD_SIM_FRAME = 3,
    SIMCONNECT_PERIOD_SECOND = 4,
};

enum SIMCONNECT_RECV_ID : DWORD {
    SIMCONNECT_RECV_ID_NULL = 0,
    SIMCONNECT_RECV_ID_EXCEPTION = 1,
    SIMCONNECT_RECV_ID_OPEN = 2,
    SIMCONNECT_RECV_ID_QUIT = 3,
    SIMCONNECT_RECV_ID_EVENT = 4,
    SIMCONNECT_RECV_ID_EVENT_OBJECT_ADDREMOVE = 5,
    SIMCONNECT_RECV_ID_EVENT_FILENAME = 6,
    SIMCONNECT_RECV_ID_EVENT_FRAME = 7,
    SIMCONNECT_RECV_ID_SIMOBJECT_DATA = 8,
    SIMCONNECT_RECV_ID_SIMOBJECT_DATA_BYTYPE = 9,
    SIMCONNECT_RECV_ID_SYSTEM_STATE = 15,
};

constexpr DWORD SIMCONNECT_OBJECT_ID_USER = 0;
constexpr DWORD SIMCONNECT_UNUSED = 0xFFFFFFFFu;
constexpr DWORD SIMCONNECT_EXCEPTION_NAME_UNRECOGNIZED = 7;

#pragma pack(push, 1)
struct SIMCONNECT_RECV {
    DWORD dwSize;
    DWORD dwVersion;
    DWORD dwID;
};

struct SIMCONNECT_RECV_EXCEPTION : SIMCONNECT_RECV {
    DWORD dwException;
    DWORD dwSendID;
    DWORD dwIndex;
};

struct SIMCONNECT_RECV_OPEN : SIMCONNECT_RECV {
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

struct SIMCONNECT_RECV_EVENT : SIMCONNECT_RECV {
    DWORD uGroupID;
    DWORD uEventID;
    DWORD dwData;
};

struct SIMCONNECT_RECV_EVENT_FRAME : SIMCONNECT_RECV_EVENT {
    float fFrameRate;
    float fSimSpeed;
};

// dwData, the first value of the definition, follows.
struct SIMCONNECT_RECV_SIMOBJECT_DATA : SIMCONNECT_RECV {
    DWORD dwRequestID;
    DWORD dwObjectID;
    DWORD dwDefineID;
    DWORD dwFlags;
    DWORD dwentrynumber;
    DWORD dwoutof;
    DWORD dwDefineCount;
};
#pragma pack(pop)

static_assert(sizeof(SIMCONNECT_RECV) == 12 && sizeof(SIMCONNECT_RECV_EXCEPTION) == 24);
static_assert(sizeof(SIMCONNECT_RECV_OPEN) == 308 && sizeof(SIMCONNECT_RECV_EVENT) == 24);
static_assert(sizeof(SIMCONNECT_RECV_EVENT_FRAME) == 32 && sizeof(SIMCONNECT_RECV_SIMOBJECT_DATA) == 40);

} // namespace StandInApi
