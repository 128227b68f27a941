// CStandInConnection: the messages in the library's own layouts.
#include "StandInConnection.h"

#include <cstring>

using namespace StandInApi;

namespace {
constexpr float kFrameRate = 30.0f;
constexpr DWORD kMessageVersion = 4;

template <typename T> std::vector<std::uint8_t> bytesOf(const T& value)
{
    std::vector<std::uint8_t> out(sizeof value);
    std::memcpy(out.data(), &value, sizeof value);
    return out;
}
} // namespace

CStandInConnection::CStandInConnection(const StandInIdentity& id)
{
    SIMCONNECT_RECV_OPEN open{};
    std::strncpy(open.szApplicationName, id.applicationName.c_str(), sizeof open.szApplicationName - 1);
    open.dwApplicationVersionMajor = id.application[0];
    open.dwApplicationVersionMinor = id.application[1];
    open.dwApplicationBuildMajor = id.application[2];
    open.dwApplicationBuildMinor = id.application[3];
    open.dwSimConnectVersionMajor = id.simConnect[0];
    open.dwSimConnectVersionMinor = id.simConnect[1];
    open.dwSimConnectBuildMajor = id.simConnect[2];
    open.dwSimConnectBuildMinor = id.simConnect[3];
    queue(bytesOf(open), SIMCONNECT_RECV_ID_OPEN);
}

const std::vector<StandInDatum>* CStandInConnection::definition(DWORD define) const
{
    const auto it = definitions.find(define);
    return it == definitions.end() ? nullptr : &it->second;
}

std::size_t CStandInConnection::blockSize(const std::vector<StandInDatum>& data)
{
    std::size_t size = 0;
    for (const StandInDatum& d : data)
        size += d.type == SIMCONNECT_DATATYPE_FLOAT64 || d.type == SIMCONNECT_DATATYPE_INT64 ? 8 : 4;
    return size;
}

std::string CStandInConnection::eventName(DWORD id) const
{
    const auto it = events.find(id);
    return it == events.end() ? std::string() : it->second;
}

bool CStandInConnection::subscribe(DWORD id, const std::string& upperName)
{
    if (upperName != "FRAME" && upperName != "CRASHED")
        return false;
    systemEvents[upperName] = id;
    return true;
}

void CStandInConnection::queue(std::vector<std::uint8_t> message, DWORD id)
{
    SIMCONNECT_RECV h{static_cast<DWORD>(message.size()), kMessageVersion, id};
    std::memcpy(message.data(), &h, sizeof h);
    pending.push_back(std::move(message));
}

void CStandInConnection::queueException(DWORD exception)
{
    SIMCONNECT_RECV_EXCEPTION m{};
    m.dwException = exception;
    m.dwSendID = SIMCONNECT_UNUSED;
    m.dwIndex = SIMCONNECT_UNUSED;
    queue(bytesOf(m), SIMCONNECT_RECV_ID_EXCEPTION);
}

void CStandInConnection::queueObjectData(DWORD request, DWORD define, const std::vector<std::uint8_t>& block)
{
    SIMCONNECT_RECV_SIMOBJECT_DATA head{};
    head.dwRequestID = request;
    head.dwObjectID = SIMCONNECT_OBJECT_ID_USER;
    head.dwDefineID = define;
    head.dwoutof = 1;
    head.dwDefineCount = static_cast<DWORD>(definitions[define].size());
    std::vector<std::uint8_t> m = bytesOf(head);
    m.insert(m.end(), block.begin(), block.end());
    queue(std::move(m), SIMCONNECT_RECV_ID_SIMOBJECT_DATA);
}

void CStandInConnection::queueSystemEvents(double simSeconds, float simRate, bool crashed)
{
    if (const auto it = systemEvents.find("FRAME"); it != systemEvents.end() && simSeconds != lastFrameSeconds) {
        lastFrameSeconds = simSeconds;
        SIMCONNECT_RECV_EVENT_FRAME frame{};
        frame.uGroupID = SIMCONNECT_UNUSED;
        frame.uEventID = it->second;
        frame.fFrameRate = kFrameRate;
        frame.fSimSpeed = simRate;
        queue(bytesOf(frame), SIMCONNECT_RECV_ID_EVENT_FRAME);
    }
    if (const auto it = systemEvents.find("CRASHED"); it != systemEvents.end() && crashed && !crashReported) {
        crashReported = true;
        SIMCONNECT_RECV_EVENT event{};
        event.uGroupID = SIMCONNECT_UNUSED;
        event.uEventID = it->second;
        queue(bytesOf(event), SIMCONNECT_RECV_ID_EVENT);
    }
}

bool CStandInConnection::next(SIMCONNECT_RECV** data, DWORD* size)
{
    if (pending.empty())
        return false;
    current = std::move(pending.front());
    pending.pop_front();
    *data = reinterpret_cast<SIMCONNECT_RECV*>(current.data());
    *size = static_cast<DWORD>(current.size());
    return true;
}
