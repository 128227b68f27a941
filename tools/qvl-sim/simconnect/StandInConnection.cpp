// CStandInConnection: the messages in the library's own layouts.
#include "StandInConnection.h"

#include <cstring>

using namespace SimConnectApi;

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
    RecvOpen open{};
    std::strncpy(open.szApplicationName, id.applicationName.c_str(), sizeof open.szApplicationName - 1);
    open.dwApplicationVersionMajor = id.application[0];
    open.dwApplicationVersionMinor = id.application[1];
    open.dwApplicationBuildMajor = id.application[2];
    open.dwApplicationBuildMinor = id.application[3];
    open.dwSimConnectVersionMajor = id.simConnect[0];
    open.dwSimConnectVersionMinor = id.simConnect[1];
    open.dwSimConnectBuildMajor = id.simConnect[2];
    open.dwSimConnectBuildMinor = id.simConnect[3];
    queue(bytesOf(open), RecvIdOpen);
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
        size += d.type == TypeFloat64 || d.type == TypeInt64 ? 8 : 4;
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
    RecvHeader h{static_cast<DWORD>(message.size()), kMessageVersion, id};
    std::memcpy(message.data(), &h, sizeof h);
    pending.push_back(std::move(message));
}

void CStandInConnection::queueException(DWORD exception)
{
    std::vector<std::uint8_t> m(sizeof(RecvHeader) + 3 * sizeof(DWORD), 0);
    std::memcpy(m.data() + sizeof(RecvHeader), &exception, sizeof exception);
    queue(std::move(m), RecvIdException);
}

void CStandInConnection::queueObjectData(DWORD request, DWORD define, const std::vector<std::uint8_t>& block)
{
    RecvObjectData head{};
    head.dwRequestID = request;
    head.dwObjectID = kUserAircraft;
    head.dwDefineID = define;
    head.dwoutof = 1;
    head.dwDefineCount = static_cast<DWORD>(definitions[define].size());
    std::vector<std::uint8_t> m = bytesOf(head);
    m.insert(m.end(), block.begin(), block.end());
    queue(std::move(m), RecvIdObjectData);
}

void CStandInConnection::queueSystemEvents(double simSeconds, float simRate, bool crashed)
{
    if (const auto it = systemEvents.find("FRAME"); it != systemEvents.end() && simSeconds != lastFrameSeconds) {
        lastFrameSeconds = simSeconds;
        RecvEventFrame frame{};
        frame.event.uGroupID = kUnused;
        frame.event.uEventID = it->second;
        frame.fFrameRate = kFrameRate;
        frame.fSimSpeed = simRate;
        queue(bytesOf(frame), RecvIdEventFrame);
    }
    if (const auto it = systemEvents.find("CRASHED"); it != systemEvents.end() && crashed && !crashReported) {
        crashReported = true;
        RecvEvent event{};
        event.uGroupID = kUnused;
        event.uEventID = it->second;
        queue(bytesOf(event), RecvIdEvent);
    }
}

bool CStandInConnection::next(RecvHeader** data, DWORD* size)
{
    if (pending.empty())
        return false;
    current = std::move(pending.front());
    pending.pop_front();
    *data = reinterpret_cast<RecvHeader*>(current.data());
    *size = static_cast<DWORD>(current.size());
    return true;
}
