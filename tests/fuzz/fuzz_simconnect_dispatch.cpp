// Fuzzes what the SimConnect adapter takes from the client library: the input
// is a list of messages (two bytes of length, then the bytes) that a fake
// library hands out one by one, whatever the client asked for. Every
// operation must stay within the bytes it was given and never crash.
#include "platform/SharedLibrary.h"
#include "platform/headless/ManualClock.h"
#include "server/ClientInterface.h"
#include "sim/simconnect/FlightSimulatorInterfaceUsingSdk.h"

#include <cstdint>
#include <cstring>
#include <deque>
#include <vector>

namespace {

using namespace SimConnectApi;

std::deque<std::vector<std::uint8_t>> g_messages;
std::vector<std::uint8_t> g_current;
int g_handle = 0;

HRESULT fakeOpen(HANDLE* h, const char*, HWND, DWORD, HANDLE, DWORD)
{
    *h = &g_handle;
    return kOk;
}
HRESULT fakeClose(HANDLE)
{
    return kOk;
}
HRESULT fakeAdd(HANDLE, DWORD, const char*, const char*, DWORD, float, DWORD)
{
    return kOk;
}
HRESULT fakeNamed(HANDLE, DWORD, const char*)
{
    return kOk;
}
HRESULT fakeSet(HANDLE, DWORD, DWORD, DWORD, DWORD, DWORD, void*)
{
    return kOk;
}
HRESULT fakeRequest(HANDLE, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD)
{
    return kOk;
}
HRESULT fakeTransmit(HANDLE, DWORD, DWORD, DWORD, DWORD, DWORD)
{
    return kOk;
}
HRESULT fakeText(HANDLE, DWORD, float, DWORD, DWORD, void*)
{
    return kOk;
}
HRESULT fakeSave(HANDLE, const char*, const char*, const char*, DWORD)
{
    return kOk;
}
HRESULT fakeDispatch(HANDLE, RecvHeader** data, DWORD* size)
{
    if (g_messages.empty())
        return kFail;
    // Exactly the bytes of the message, so reading past them is caught.
    g_current = std::move(g_messages.front());
    g_messages.pop_front();
    *data = reinterpret_cast<RecvHeader*>(g_current.data());
    *size = static_cast<DWORD>(g_current.size());
    return kOk;
}

template <typename Fn> void* address(Fn fn)
{
    void* p = nullptr;
    std::memcpy(&p, &fn, sizeof p);
    return p;
}

class FakeLibrary final : public SharedLibrary {
public:
    void* symbol(const std::string& name) override
    {
        if (name == "SimConnect_Open")
            return address(&fakeOpen);
        if (name == "SimConnect_Close")
            return address(&fakeClose);
        if (name == "SimConnect_AddToDataDefinition")
            return address(&fakeAdd);
        if (name == "SimConnect_MapClientEventToSimEvent" || name == "SimConnect_SubscribeToSystemEvent")
            return address(&fakeNamed);
        if (name == "SimConnect_SetDataOnSimObject")
            return address(&fakeSet);
        if (name == "SimConnect_RequestDataOnSimObject")
            return address(&fakeRequest);
        if (name == "SimConnect_TransmitClientEvent")
            return address(&fakeTransmit);
        if (name == "SimConnect_Text")
            return address(&fakeText);
        if (name == "SimConnect_GetNextDispatch")
            return address(&fakeDispatch);
        if (name == "SimConnect_FlightSave")
            return address(&fakeSave);
        return nullptr;
    }
};

class FakeLoader final : public SharedLibraryLoader {
public:
    std::unique_ptr<SharedLibrary> load(const std::string&, std::string&) override
    {
        return std::make_unique<FakeLibrary>();
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static FakeLoader loader;
    static ScopedManualClock clock;
    static CClientInterface client;
    setSharedLibraryLoader(&loader);
    g_messages.clear();
    std::size_t pos = 0;
    while (pos + 2 <= size) {
        const std::size_t length = (data[pos] | data[pos + 1] << 8) % 2048;
        pos += 2;
        const std::size_t n = length < size - pos ? length : size - pos;
        g_messages.emplace_back(data + pos, data + pos + n);
        pos += n;
    }
    CFlightSimulatorInterfaceUsingSdk fs(client);
    if (fs.connect()) {
        fs.checkFrequently();
        fs.getEverything();
        fs.getAircraftTanks();
        fs.setAircraftTanks();
        fs.setSimulationRate(4);
        fs.checkVersion();
        fs.getSimulatorVersion();
        fs.getSimulatorIdent();
    }
    setSharedLibraryLoader(nullptr);
    return 0;
}
