// The stand-in library's side of the simulator: one aircraft model per
// process, flown on a clock thread of its own (or moved on by the caller),
// served to every connection the client opens. Settings come from the
// environment (QVL_SIMCONNECT_*) unless the caller overrides them.
#pragma once

#include "Simulator.h"
#include "StandInConnection.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class CStandInHost {
public:
    using DWORD = StandInApi::DWORD;
    using HRESULT = StandInApi::HRESULT;
    using HANDLE = StandInApi::HANDLE;

    CStandInHost();
    ~CStandInHost();
    CStandInHost(const CStandInHost&) = delete;
    CStandInHost& operator=(const CStandInHost&) = delete;

    HRESULT open(HANDLE* handle);
    HRESULT close(HANDLE handle);
    HRESULT addToDataDefinition(HANDLE handle, DWORD define, const char* datum, const char* units, DWORD type);
    HRESULT mapClientEvent(HANDLE handle, DWORD event, const char* name);
    HRESULT subscribeToSystemEvent(HANDLE handle, DWORD event, const char* name);
    HRESULT setData(HANDLE handle, DWORD define, DWORD object, DWORD unitSize, const void* data);
    HRESULT requestData(HANDLE handle, DWORD request, DWORD define, DWORD object, DWORD period);
    HRESULT transmitClientEvent(HANDLE handle, DWORD object, DWORD event);
    HRESULT text(HANDLE handle, float seconds, DWORD size, const void* text);
    HRESULT getNextDispatch(HANDLE handle, StandInApi::SIMCONNECT_RECV** data, DWORD* size);
    HRESULT flightSave(HANDLE handle, const char* file);

    // Control of the stand-in by the caller.
    bool configure(const std::string& key, const std::string& value);
    void reset();
    bool advance(double seconds);

private:
    CStandInConnection* find(HANDLE handle);
    std::string setting(const std::string& key) const;
    bool ensureWorld();
    bool readIdentity(StandInIdentity& id) const;
    std::vector<std::uint8_t> block(const std::vector<StandInDatum>& data);
    bool applyEvent(const std::string& name);

    std::mutex mutex;
    std::map<std::string, std::string> overrides;
    std::unique_ptr<CSimulator> world;
    std::string saveDirectory;
    bool neverAnswer = false;
    std::vector<std::unique_ptr<CStandInConnection>> connections;
};
