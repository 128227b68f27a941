// CStandInHost: settings, the aircraft model and the library's calls.
#include "StandInHost.h"

#include "FlightSaveFile.h"
#include "SimVariables.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

using namespace StandInApi;

namespace {

constexpr double kMinRate = 0.25, kMaxRate = 128.0;

// Setting key -> environment variable.
const std::map<std::string, std::string> kSettings = {
    {"scenario", "QVL_SIMCONNECT_SCENARIO"},
    {"timeScale", "QVL_SIMCONNECT_TIME_SCALE"},
    {"startAt", "QVL_SIMCONNECT_START_AT"},
    {"record", "QVL_SIMCONNECT_RECORD"},
    {"saveDir", "QVL_SIMCONNECT_SAVE_DIR"},
    {"appName", "QVL_SIMCONNECT_APP_NAME"},
    {"appVersion", "QVL_SIMCONNECT_APP_VERSION"},
    {"simConnectVersion", "QVL_SIMCONNECT_VERSION"},
    {"fault", "QVL_SIMCONNECT_FAULT"},
};

std::string upper(const char* text)
{
    std::string s = text != nullptr ? text : "";
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return s;
}

// "major.minor[.build major[.build minor]]"
bool parseVersion(const std::string& text, DWORD (&out)[4])
{
    DWORD v[4] = {};
    unsigned n = 0;
    const char* p = text.c_str();
    while (n < 4 && *p != '\0') {
        char* end = nullptr;
        const unsigned long part = std::strtoul(p, &end, 10);
        if (end == p || part > 0xFFFFFFFFul)
            return false;
        v[n++] = static_cast<DWORD>(part);
        p = *end == '.' ? end + 1 : end;
        if (*end != '.' && *end != '\0')
            return false;
    }
    if (n < 2)
        return false;
    std::copy(std::begin(v), std::end(v), std::begin(out));
    return true;
}

double number(const std::string& text, double fallback)
{
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    return text.empty() || *end != '\0' || !std::isfinite(v) ? fallback : v;
}

void appendValue(std::vector<std::uint8_t>& out, DWORD type, double v)
{
    std::uint8_t bytes[8] = {};
    std::size_t size = 4;
    if (type == SIMCONNECT_DATATYPE_INT32) {
        const std::int32_t i =
            std::isfinite(v) ? static_cast<std::int32_t>(std::clamp(v, -2147483648.0, 2147483647.0)) : 0;
        std::memcpy(bytes, &i, 4);
    } else if (type == SIMCONNECT_DATATYPE_INT64) {
        const std::int64_t i = std::isfinite(v) ? static_cast<std::int64_t>(std::clamp(v, -9.2e18, 9.2e18)) : 0;
        std::memcpy(bytes, &i, size = 8);
    } else if (type == SIMCONNECT_DATATYPE_FLOAT32) {
        const float f = static_cast<float>(v);
        std::memcpy(bytes, &f, 4);
    } else {
        std::memcpy(bytes, &v, size = 8);
    }
    out.insert(out.end(), bytes, bytes + size);
}

double valueAt(const std::uint8_t* p, DWORD type)
{
    if (type == SIMCONNECT_DATATYPE_INT32) {
        std::int32_t i;
        std::memcpy(&i, p, 4);
        return i;
    }
    if (type == SIMCONNECT_DATATYPE_INT64) {
        std::int64_t i;
        std::memcpy(&i, p, 8);
        return static_cast<double>(i);
    }
    if (type == SIMCONNECT_DATATYPE_FLOAT32) {
        float f;
        std::memcpy(&f, p, 4);
        return f;
    }
    double d;
    std::memcpy(&d, p, 8);
    return d;
}

} // namespace

CStandInHost::CStandInHost() = default;
CStandInHost::~CStandInHost() = default;

std::string CStandInHost::setting(const std::string& key) const
{
    if (const auto it = overrides.find(key); it != overrides.end())
        return it->second;
    const char* env = std::getenv(kSettings.at(key).c_str());
    return env != nullptr ? env : "";
}

bool CStandInHost::configure(const std::string& key, const std::string& value)
{
    std::lock_guard<std::mutex> lock(mutex);
    if (kSettings.count(key) == 0)
        return false;
    overrides[key] = value;
    return true;
}

void CStandInHost::reset()
{
    std::lock_guard<std::mutex> lock(mutex);
    connections.clear();
    world.reset();
    overrides.clear();
}

bool CStandInHost::advance(double seconds)
{
    std::lock_guard<std::mutex> lock(mutex);
    if (!ensureWorld())
        return false;
    world->advance(seconds);
    return true;
}

bool CStandInHost::ensureWorld()
{
    if (world)
        return true;
    // No scenario, no aircraft: a client that found this library by accident
    // must not fly (and report) a scripted flight.
    const std::string name = setting("scenario");
    if (name.empty()) {
        std::fprintf(stderr, "qvl-sim SimConnect stand-in: no scenario configured (QVL_SIMCONNECT_SCENARIO)\n");
        return false;
    }
    const std::string path =
        std::filesystem::exists(name) ? name : std::string(QVL_SIM_SCENARIO_DIR) + "/" + name + ".json";
    SimScenario scenario;
    std::string error;
    if (!SimScenario::load(path, scenario, error)) {
        std::fprintf(stderr, "qvl-sim SimConnect stand-in: %s\n", error.c_str());
        return false;
    }
    world = std::make_unique<CSimulator>(scenario);
    if (const std::string record = setting("record"); !record.empty())
        world->record().setFile(record);
    saveDirectory = setting("saveDir");
    neverAnswer = setting("fault") == "never-answer";
    world->advance(std::max(0.0, number(setting("startAt"), 0.0)));
    // Time scale 0: the model moves only when the caller advances it.
    if (const double scale = number(setting("timeScale"), 1.0); scale > 0.0)
        world->startClock(scale);
    return true;
}

bool CStandInHost::readIdentity(StandInIdentity& id) const
{
    if (const std::string name = setting("appName"); !name.empty())
        id.applicationName = name;
    const std::string app = setting("appVersion"), sc = setting("simConnectVersion");
    return (app.empty() || parseVersion(app, id.application)) && (sc.empty() || parseVersion(sc, id.simConnect));
}

CStandInConnection* CStandInHost::find(HANDLE handle)
{
    for (const auto& c : connections) {
        if (c.get() == handle)
            return c.get();
    }
    return nullptr;
}

HRESULT CStandInHost::open(HANDLE* handle)
{
    std::lock_guard<std::mutex> lock(mutex);
    StandInIdentity id;
    if (handle == nullptr || setting("fault") == "refuse-open" || !readIdentity(id) || !ensureWorld())
        return E_FAIL;
#ifdef _WIN32
    if (const double scale = number(setting("timeScale"), 1.0); connections.empty() && scale > 0.0)
        world->startClock(scale);
#endif
    connections.push_back(std::make_unique<CStandInConnection>(id));
    *handle = connections.back().get();
    return S_OK;
}

HRESULT CStandInHost::close(HANDLE handle)
{
    std::lock_guard<std::mutex> lock(mutex);
    const auto it =
        std::find_if(connections.begin(), connections.end(), [&](const auto& c) { return c.get() == handle; });
    if (it == connections.end())
        return E_FAIL;
    connections.erase(it);
#ifdef _WIN32
    // A DLL's clock thread cannot be joined while the library is unloaded
    // (the loader lock), so it stops with the last connection and the next
    // open starts it again.
    if (connections.empty() && world)
        world->stopClock();
#endif
    return S_OK;
}

HRESULT CStandInHost::addToDataDefinition(HANDLE handle, DWORD define, const char* datum, const char* units, DWORD type)
{
    std::lock_guard<std::mutex> lock(mutex);
    CStandInConnection* c = find(handle);
    if (c == nullptr || datum == nullptr || units == nullptr || type < SIMCONNECT_DATATYPE_INT32 ||
        type > SIMCONNECT_DATATYPE_FLOAT64)
        return E_FAIL;
    // Like the real library, an unknown name is reported later as an exception message.
    const CSimVariables::Ref variable = CSimVariables::resolve(datum);
    if (variable.var == CSimVariables::Var::Unknown)
        c->queueException(SIMCONNECT_EXCEPTION_NAME_UNRECOGNIZED);
    c->addDatum(define, {datum, units, type, variable});
    return S_OK;
}

HRESULT CStandInHost::mapClientEvent(HANDLE handle, DWORD event, const char* name)
{
    std::lock_guard<std::mutex> lock(mutex);
    CStandInConnection* c = find(handle);
    if (c == nullptr || name == nullptr)
        return E_FAIL;
    c->mapEvent(event, upper(name));
    return S_OK;
}

HRESULT CStandInHost::subscribeToSystemEvent(HANDLE handle, DWORD event, const char* name)
{
    std::lock_guard<std::mutex> lock(mutex);
    CStandInConnection* c = find(handle);
    if (c == nullptr || name == nullptr)
        return E_FAIL;
    if (!c->subscribe(event, upper(name)))
        c->queueException(SIMCONNECT_EXCEPTION_NAME_UNRECOGNIZED);
    return S_OK;
}

HRESULT CStandInHost::setData(HANDLE handle, DWORD define, DWORD object, DWORD unitSize, const void* data)
{
    std::lock_guard<std::mutex> lock(mutex);
    CStandInConnection* c = find(handle);
    const std::vector<StandInDatum>* def = c != nullptr ? c->definition(define) : nullptr;
    if (def == nullptr || object != SIMCONNECT_OBJECT_ID_USER || data == nullptr ||
        unitSize < CStandInConnection::blockSize(*def))
        return E_FAIL;
    bool ok = true;
    world->modify([&](CAircraftModel& model) {
        const auto* p = static_cast<const std::uint8_t*>(data);
        for (const StandInDatum& d : *def) {
            ok = CSimVariables::write(model, world->record(), d.variable, valueAt(p, d.type)) && ok;
            p += d.type == SIMCONNECT_DATATYPE_FLOAT64 || d.type == SIMCONNECT_DATATYPE_INT64 ? 8 : 4;
        }
    });
    return ok ? S_OK : E_FAIL;
}

std::vector<std::uint8_t> CStandInHost::block(const std::vector<StandInDatum>& data)
{
    std::vector<std::uint8_t> out;
    world->modify([&](CAircraftModel& model) {
        for (const StandInDatum& d : data)
            appendValue(out, d.type, CSimVariables::read(model, d.variable));
    });
    return out;
}

HRESULT CStandInHost::requestData(HANDLE handle, DWORD request, DWORD define, DWORD object, DWORD period)
{
    std::lock_guard<std::mutex> lock(mutex);
    CStandInConnection* c = find(handle);
    const std::vector<StandInDatum>* def = c != nullptr ? c->definition(define) : nullptr;
    // Only single answers are served; repeating periods are not. A simulator
    // that went away refuses every request.
    if (def == nullptr || object != SIMCONNECT_OBJECT_ID_USER || period > SIMCONNECT_PERIOD_ONCE ||
        setting("fault") == "refuse-requests")
        return E_FAIL;
    if (period == SIMCONNECT_PERIOD_ONCE && !neverAnswer)
        c->queueObjectData(request, define, block(*def));
    return S_OK;
}

bool CStandInHost::applyEvent(const std::string& name)
{
    bool known = true;
    world->modify([&](CAircraftModel& model) {
        SimAircraftState& s = model.state();
        if (name == "SIM_RATE_INCR" || name == "SIM_RATE_DECR") {
            s.simRate = std::clamp(name == "SIM_RATE_INCR" ? s.simRate * 2.0 : s.simRate / 2.0, kMinRate, kMaxRate);
            world->record().add({"simRate", "", s.simRate, -1});
        } else if (name == "PAUSE_ON") {
            s.paused = true;
            world->record().add({"pause", "", 0.0, -1});
        } else {
            known = false;
        }
    });
    return known;
}

HRESULT CStandInHost::transmitClientEvent(HANDLE handle, DWORD object, DWORD event)
{
    std::lock_guard<std::mutex> lock(mutex);
    CStandInConnection* c = find(handle);
    const std::string name = c != nullptr ? c->eventName(event) : std::string();
    if (name.empty() || object != SIMCONNECT_OBJECT_ID_USER)
        return E_FAIL;
    return applyEvent(name) ? S_OK : E_FAIL;
}

HRESULT CStandInHost::text(HANDLE handle, float seconds, DWORD size, const void* text)
{
    std::lock_guard<std::mutex> lock(mutex);
    if (find(handle) == nullptr || text == nullptr)
        return E_FAIL;
    const auto* chars = static_cast<const char*>(text);
    world->record().add({"text", std::string(chars, strnlen(chars, size)), seconds, -1});
    return S_OK;
}

HRESULT CStandInHost::getNextDispatch(HANDLE handle, SIMCONNECT_RECV** data, DWORD* size)
{
    std::lock_guard<std::mutex> lock(mutex);
    CStandInConnection* c = find(handle);
    if (c == nullptr || data == nullptr || size == nullptr)
        return E_FAIL;
    const SimAircraftState s = world->state();
    c->queueSystemEvents(s.simSeconds, static_cast<float>(s.simRate), s.crashed);
    return c->next(data, size) ? S_OK : E_FAIL;
}

HRESULT CStandInHost::flightSave(HANDLE handle, const char* file)
{
    std::lock_guard<std::mutex> lock(mutex);
    if (find(handle) == nullptr || file == nullptr)
        return E_FAIL;
    writeFlightSave(world->state(), saveDirectory, file, world->record());
    return S_OK;
}
