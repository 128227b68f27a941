// COffsetSpace: model values in the offsets' units, and the offsets the client writes.
#include "OffsetSpace.h"

#include "FlightSaveFile.h"
#include "UtcCalendar.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <ctime>

namespace {
constexpr double kFeetPerMetre = 3.28084;
constexpr double kKtsPerMps = 1.943844;
constexpr double kLbsPerKg = 2.20462262;
constexpr double kTwo32 = 4294967296.0;
constexpr double kTwo64 = 18446744073709551616.0;

constexpr std::uint32_t kTankLevel[11] = {0x0B74, 0x0B7C, 0x0B94, 0x0B84, 0x0B9C, 0x0B8C,
                                          0x0BA4, 0x1244, 0x124C, 0x1254, 0x125C};

std::int32_t toInt32(double v)
{
    if (!(v > -2147483648.0))
        return v != v ? 0 : INT32_MIN;
    return v >= 2147483647.0 ? INT32_MAX : static_cast<std::int32_t>(std::lround(v));
}

std::int64_t toInt64(double v)
{
    if (!(v > -9.2e18))
        return v != v ? 0 : INT64_MIN;
    return v >= 9.2e18 ? INT64_MAX : static_cast<std::int64_t>(std::llround(v));
}

int tankSlotOf(std::uint32_t offset)
{
    for (int i = 0; i < 11; ++i) {
        if (kTankLevel[i] == offset)
            return i;
    }
    return -1;
}
} // namespace

COffsetSpace::COffsetSpace(CAircraftModel& aircraft, CSimRecord& rec) : model(aircraft), record(rec) {}

template <typename T> void COffsetSpace::put(std::uint32_t offset, T value)
{
    std::memcpy(bytes.data() + offset, &value, sizeof value);
}

template <typename T> T COffsetSpace::get(std::uint32_t offset) const
{
    T value{};
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

void COffsetSpace::refresh()
{
    const SimIdentity& id = model.scenario().identity;
    put<std::uint32_t>(0x3304, id.fsuipcVersion);
    put<std::uint32_t>(0x3308, (id.versionMagic ? 0xFADE0000u : 0u) | id.version);
    put<std::uint8_t>(0x3124, id.subVersion);
    refreshPosition();
    refreshClock();
    refreshFuel();
    refreshWeights();
    refreshSwitches();
    for (const auto& [offset, value] : pinned)
        std::memcpy(bytes.data() + offset, value.data(), value.size());
}

void COffsetSpace::pin(std::uint32_t offset, const std::vector<std::uint8_t>& value)
{
    if (offset < kSize && value.size() <= kSize - offset)
        pinned[offset] = value;
}

void COffsetSpace::refreshPosition()
{
    const SimAircraftState& s = model.state();
    put<std::int64_t>(0x0560, toInt64(s.lat * 10001750.0 * 65536.0 * 65536.0 / 90.0));
    put<std::int64_t>(0x0568, toInt64(s.lon * kTwo64 / 360.0));
    const double heading = std::fmod(s.headingDeg, 360.0);
    put<std::uint32_t>(0x0580, static_cast<std::uint32_t>(std::llround(heading * kTwo32 / 360.0) & 0xFFFFFFFF));
    put<std::int16_t>(0x02A0, static_cast<std::int16_t>(std::lround(s.magVarDeg * 65536.0 / 360.0)));
    put<std::int32_t>(0x0020, toInt32(s.groundFt / kFeetPerMetre * 256.0));
    put<std::int32_t>(0x31E4, toInt32(model.heightAboveGroundFt() / kFeetPerMetre * 65536.0));
    put<double>(0x34B0, s.altitudeFt / kFeetPerMetre);
    put<std::int32_t>(0x02B4, toInt32(s.gsKts / kKtsPerMps * 65536.0));
    put<std::int32_t>(0x02BC, toInt32(s.iasKts * 128.0));
    put<std::int32_t>(0x02C8, toInt32(s.vsFpm / 60.0 / kFeetPerMetre * 256.0));
    put<std::int32_t>(0x030C, toInt32(s.touchdownVsFpm / 60.0 / kFeetPerMetre * 256.0));
    put<std::uint16_t>(0x0366, s.onGround ? 1 : 0);
    put<std::int32_t>(0x31E8, s.surfaceType);
}

void COffsetSpace::refreshClock()
{
    const SimAircraftState& s = model.state();
    const std::int64_t utc = model.utcSeconds();
    const std::int64_t local = model.localSeconds();
    const std::int64_t utcDay = utc % 86400, localDay = ((local % 86400) + 86400) % 86400;
    put<std::uint8_t>(0x023A, static_cast<std::uint8_t>(utcDay % 60));
    put<std::uint8_t>(0x023B, static_cast<std::uint8_t>(utcDay / 3600));
    put<std::uint8_t>(0x023C, static_cast<std::uint8_t>(utcDay / 60 % 60));
    put<std::uint8_t>(0x0238, static_cast<std::uint8_t>(localDay / 3600));
    put<std::uint8_t>(0x0239, static_cast<std::uint8_t>(localDay / 60 % 60));
    int year = 1970, yday = 0;
    UtcCalendar::yearAndDay(utc, year, yday);
    put<std::uint16_t>(0x023E, static_cast<std::uint16_t>(yday + 1));
    put<std::uint16_t>(0x0240, static_cast<std::uint16_t>(year));
    put<double>(0x04A8, model.scenario().identity.flightTimeCounter ? s.flightTimeSeconds : 0.0);
}

void COffsetSpace::refreshFuel()
{
    const SimAircraftState& s = model.state();
    const SimAircraftType& a = model.scenario().aircraft;
    put<std::uint16_t>(0x0AF4, static_cast<std::uint16_t>(std::lround(a.fuelWeightLbsPerGallon * 256.0)));
    for (int i = 0; i < 11; ++i) {
        const double cap = a.tanks[i].capacityGallons;
        const double fraction = cap > 0.0 ? s.tankGallons[i] / cap : 0.0;
        put<std::int32_t>(kTankLevel[i], toInt32(fraction * 8388608.0));
        put<std::int32_t>(kTankLevel[i] + 4, toInt32(cap));
    }
    put<std::int32_t>(0x126C, toInt32(model.totalFuelGallons() * a.fuelWeightLbsPerGallon));
}

void COffsetSpace::refreshWeights()
{
    const SimAircraftType& a = model.scenario().aircraft;
    put<std::int32_t>(0x1334, toInt32(a.maxGrossWeightKg * kLbsPerKg * 256.0));
    put<std::int32_t>(0x3BFC, toInt32((a.emptyWeightKg + model.payloadKg()) * kLbsPerKg * 256.0));
    put<std::int32_t>(0x13FC, static_cast<std::int32_t>(a.payloadStationsKg.size()));
    std::memset(bytes.data() + 0x1400, 0, 61 * 48);
    for (std::size_t i = 0; i < a.payloadStationsKg.size() && i < 61; ++i)
        put<double>(static_cast<std::uint32_t>(0x1400 + i * 48), a.payloadStationsKg[i] * kLbsPerKg);
    put<std::int16_t>(0x0AEC, static_cast<std::int16_t>(a.engines));
    put<std::uint16_t>(0x060C, a.retractableGear ? 1 : 0);
}

void COffsetSpace::refreshSwitches()
{
    const SimAircraftState& s = model.state();
    put<std::uint16_t>(0x0262, s.paused ? 1 : 0);
    put<std::uint16_t>(0x0264, s.paused ? 1 : 0);
    put<std::uint16_t>(0x028C, s.landingLights ? 1 : 0);
    put<std::uint16_t>(0x0C1A, static_cast<std::uint16_t>(std::lround(s.simRate * 256.0)));
    put<std::uint16_t>(0x0840, s.crashed ? 1 : 0);
    put<std::uint16_t>(0x0BC8, s.parkingBrake ? 32767 : 0);
    put<std::uint16_t>(0x05DC, s.slew ? 1 : 0);
    put<std::int32_t>(0x0BE8, s.gearDown ? 16383 : 0);
    put<std::int32_t>(0x0BDC, toInt32(s.flaps * 16383.0));
    put<std::uint16_t>(0x0D0C, static_cast<std::uint16_t>(s.lightBits | (s.landingLights ? 0x04 : 0)));
}

void COffsetSpace::read(std::uint32_t offset, std::uint8_t* out, std::uint32_t size) const
{
    std::memset(out, 0, size);
    if (offset >= kSize)
        return;
    std::memcpy(out, bytes.data() + offset, std::min<std::uint32_t>(size, kSize - offset));
}

void COffsetSpace::write(std::uint32_t offset, const std::uint8_t* data, std::uint32_t size)
{
    if (offset >= kSize || size > kSize - offset)
        return;
    if (size == 0)
        return;
    std::memcpy(bytes.data() + offset, data, size);
    actOn(offset, size);
}

std::string COffsetSpace::textAt(std::uint32_t offset, std::uint32_t size) const
{
    const char* p = reinterpret_cast<const char*>(bytes.data() + offset);
    return std::string(p, strnlen(p, size));
}

void COffsetSpace::actOn(std::uint32_t offset, std::uint32_t size)
{
    SimAircraftState& s = model.state();
    const int slot = tankSlotOf(offset);
    if (slot >= 0 && size == 4)
        return actOnTank(slot);
    switch (offset) {
    case 0x0262:
        s.paused = get<std::uint16_t>(0x0262) != 0;
        record.add({s.paused ? "pause" : "unpause", "", 0.0, -1});
        break;
    case 0x05DC:
        s.slew = get<std::uint16_t>(0x05DC) != 0;
        if (!s.slew)
            record.add({"slewOff", "", 0.0, -1});
        break;
    case 0x0B6B:
        s.engineFailureBits |= get<std::uint8_t>(0x0B6B);
        record.add({"engineFailure", "", static_cast<double>(get<std::uint8_t>(0x0B6B)), -1});
        break;
    case 0x0C1A:
        s.simRate = std::max(0.25, get<std::uint16_t>(0x0C1A) / 256.0);
        record.add({"simRate", "", get<std::uint16_t>(0x0C1A) / 256.0, -1});
        break;
    case 0x32F0:
        s.slewForbidden = true;
        s.slew = false;
        record.add({"disableSlew", "", static_cast<double>(get<std::uint32_t>(0x32F0)), -1});
        break;
    case 0x32F8: {
        const std::uint8_t v = get<std::uint8_t>(0x32F8);
        s.flapsStuck = s.flapsStuck || (v & 1) != 0;
        s.gearStuck = s.gearStuck || (v & 4) != 0;
        record.add({"failureSwitch", "", static_cast<double>(v), -1});
        break;
    }
    case 0x32FA:
        textPending = true;
        break;
    case 0x3F00:
        savePending = get<std::uint16_t>(0x3F00) != 0;
        break;
    case 0x330A:
        record.add({"libraryVersion", "", static_cast<double>(get<std::uint16_t>(0x330A)), -1});
        break;
    default:
        break;
    }
}

void COffsetSpace::actOnTank(int slot)
{
    SimAircraftState& s = model.state();
    const double cap = model.scenario().aircraft.tanks[slot].capacityGallons;
    const double fraction = std::clamp(get<std::int32_t>(kTankLevel[slot]) / 8388608.0, 0.0, 1.0);
    s.tankGallons[slot] = cap * fraction;
    record.add({"tank", "", fraction, slot});
}

void COffsetSpace::finishBatch()
{
    if (textPending) {
        const double seconds = -static_cast<double>(get<std::int16_t>(0x32FA));
        record.add({"text", textAt(0x3380, 128), seconds, -1});
    }
    if (savePending)
        saveFlight(textAt(0x3F04, 252));
    textPending = savePending = false;
}

void COffsetSpace::saveFlight(const std::string& name)
{
    writeFlightSave(model.state(), saveDirectory, name, record);
}
