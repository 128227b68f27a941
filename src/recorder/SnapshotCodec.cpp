// CSnapshotCodec: the field table and the predictive coding of changed fields.
#include "recorder/SnapshotCodec.h"

#include <cstring>

namespace {

void addField(std::vector<SnapshotField>& table, const char* name, FieldKind kind, std::size_t offset, std::size_t size)
{
    table.push_back({name, kind, offset, size});
}

void addArray(std::vector<SnapshotField>& table, const char* name, FieldKind kind, std::size_t offset,
              std::size_t elementSize, int count)
{
    for (int i = 0; i < count; ++i)
        table.push_back({std::string(name) + "[" + std::to_string(i) + "]", kind,
                         offset + static_cast<std::size_t>(i) * elementSize, elementSize});
}

#define QVL_FIELD(member, kind)                                                                                        \
    addField(table, #member, kind, offsetof(CFlightSimulatorObjects, member), sizeof(CFlightSimulatorObjects::member))
#define QVL_ARRAY(member, kind, count)                                                                                 \
    addArray(table, #member, kind, offsetof(CFlightSimulatorObjects, member),                                          \
             sizeof(CFlightSimulatorObjects::member[0]), count)

std::vector<SnapshotField> buildFieldTable()
{
    using K = FieldKind;
    constexpr int tanks = CFlightSimulatorObjects::kTankCount;
    std::vector<SnapshotField> table;
    QVL_FIELD(lFlightPhase, K::Int32);
    QVL_FIELD(dLatitude, K::Double);
    QVL_FIELD(dLongitude, K::Double);
    QVL_FIELD(dHeading, K::Double);
    QVL_FIELD(bParkingBrake, K::Flag);
    QVL_FIELD(bOnGround, K::Flag);
    QVL_FIELD(dAltitude, K::Double);
    QVL_FIELD(dLastAltitude, K::Double);
    QVL_FIELD(lRadarAltitude, K::Int32);
    QVL_FIELD(lGroundAltitude, K::Int32);
    QVL_FIELD(lIndicatedAirspeed, K::Int32);
    QVL_FIELD(lGroundSpeed, K::Int32);
    QVL_FIELD(lVerticalSpeed, K::Int32);
    QVL_FIELD(lPreviousVerticalSpeed, K::Int32);
    QVL_FIELD(lCrashed, K::Int32);
    QVL_FIELD(bLandingLights, K::Flag);
    QVL_FIELD(bGearDown, K::Flag);
    QVL_FIELD(lGearRetractable, K::Int32);
    QVL_FIELD(fFlaps, K::Float);
    QVL_FIELD(bLightsOn, K::Flag);
    QVL_FIELD(lFuelAtStart, K::Int32);
    QVL_FIELD(fSimulationRate, K::Float);
    QVL_FIELD(lExtraFuel, K::Int32);
    QVL_FIELD(lExtraFuelSteps, K::Int32);
    QVL_FIELD(szClosestAirport, K::Text);
    QVL_FIELD(szZuluTime, K::Text);
    QVL_FIELD(szLocalTime, K::Text);
    QVL_FIELD(dFlightTime, K::Double);
    QVL_FIELD(lFlightTimeAtStart, K::Int32);
    QVL_FIELD(lPaused, K::Int32);
    QVL_FIELD(lMaxGrossWeight, K::Int32);
    QVL_FIELD(lEmptyWeight, K::Int32);
    QVL_FIELD(nEngines, K::Int16);
    QVL_FIELD(dPayload, K::Double);
    QVL_FIELD(lTouchdownVerticalSpeed, K::Int32);
    QVL_FIELD(lSurfaceType, K::Int32);
    QVL_ARRAY(fTankCapacityGallons, K::Float, tanks);
    QVL_ARRAY(fTankCapacity, K::Float, tanks);
    QVL_ARRAY(fTankFill, K::Float, tanks);
    QVL_ARRAY(fTankLevel, K::Float, tanks);
    QVL_FIELD(fFuelOutsideTanks, K::Float);
    QVL_ARRAY(recentVerticalSpeeds.values, K::Int32, 3);
    QVL_FIELD(recentVerticalSpeeds.count, K::Int32);
    QVL_FIELD(recentVerticalSpeeds.next, K::Int32);
    QVL_FIELD(lGearChangeCount, K::Int32);
    QVL_FIELD(lFuelAtLanding, K::Int32);
    QVL_FIELD(lFuelAtTakeoff, K::Int32);
    QVL_FIELD(lLandingVerticalSpeed, K::Int32);
    QVL_FIELD(lAbove500Reported, K::Int32);
    QVL_FIELD(lLeftStartArea, K::Int32);
    QVL_FIELD(dStartLatitude, K::Double);
    QVL_FIELD(dStartLongitude, K::Double);
    QVL_FIELD(dTakeoffTime, K::Double);
    QVL_FIELD(dLandingTime, K::Double);
    QVL_FIELD(dClosestArrivalDistance, K::Double);
    QVL_FIELD(bEmergency, K::Byte);
    QVL_FIELD(bDiverted, K::Byte);
    QVL_FIELD(lPassengers, K::Int32);
    QVL_FIELD(lCargo, K::Int32);
    QVL_FIELD(lPackages, K::Int32);
    QVL_FIELD(lFuelRequested, K::Int32);
    QVL_FIELD(lFuelReadBack, K::Int32);
    QVL_FIELD(dLastLatitude, K::Double);
    QVL_FIELD(dLastLongitude, K::Double);
    QVL_FIELD(lFuelOnBoard, K::Int32);
    QVL_FIELD(nMinFuel, K::Int32);
    QVL_FIELD(nRefuelCount, K::Int32);
    QVL_FIELD(dLastFlightTime, K::Double);
    QVL_ARRAY(fKeptTankLevel, K::Float, tanks + 1);
    return table;
}

#undef QVL_FIELD
#undef QVL_ARRAY

template <class T> T load(const char* at)
{
    T v;
    std::memcpy(&v, at, sizeof v);
    return v;
}

template <class T> void store(char* at, T v)
{
    std::memcpy(at, &v, sizeof v);
}

bool isNumber(FieldKind kind)
{
    return kind == FieldKind::Int32 || kind == FieldKind::Int16 || kind == FieldKind::Double ||
           kind == FieldKind::Float;
}

} // namespace

CSnapshotCodec::CSnapshotCodec() : history(fields().size()) {}

const std::vector<SnapshotField>& CSnapshotCodec::fields()
{
    static const std::vector<SnapshotField> table = buildFieldTable();
    return table;
}

int CSnapshotCodec::fieldIndex(const std::string& name)
{
    const auto& table = fields();
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (table[i].name == name)
            return static_cast<int>(i);
    }
    return -1;
}

FieldChange CSnapshotCodec::read(const CFlightSimulatorObjects& snapshot, std::uint16_t field)
{
    const SnapshotField& f = fields()[field];
    const char* at = reinterpret_cast<const char*>(&snapshot) + f.offset;
    FieldChange value;
    value.field = field;
    switch (f.kind) {
    case FieldKind::Int32:
        value.number = load<std::int32_t>(at);
        break;
    case FieldKind::Int16:
        value.number = load<std::int16_t>(at);
        break;
    case FieldKind::Double:
        value.number = static_cast<std::int64_t>(load<std::uint64_t>(at));
        break;
    case FieldKind::Float:
        value.number = load<std::uint32_t>(at);
        break;
    case FieldKind::Flag:
    case FieldKind::Byte:
        value.number = load<std::uint8_t>(at);
        break;
    case FieldKind::Text:
        value.text.assign(at, strnlen(at, f.size));
        break;
    }
    return value;
}

void CSnapshotCodec::apply(CFlightSimulatorObjects& snapshot, const FieldChange& change)
{
    const SnapshotField& f = fields()[change.field];
    char* at = reinterpret_cast<char*>(&snapshot) + f.offset;
    switch (f.kind) {
    case FieldKind::Int32:
        store(at, static_cast<std::int32_t>(change.number));
        break;
    case FieldKind::Int16:
        store(at, static_cast<std::int16_t>(change.number));
        break;
    case FieldKind::Double:
        store(at, static_cast<std::uint64_t>(change.number));
        break;
    case FieldKind::Float:
        store(at, static_cast<std::uint32_t>(change.number));
        break;
    case FieldKind::Flag:
        store(at, change.number != 0);
        break;
    case FieldKind::Byte:
        store(at, static_cast<std::uint8_t>(change.number));
        break;
    case FieldKind::Text:
        std::memset(at, 0, f.size);
        std::memcpy(at, change.text.data(), change.text.size() < f.size ? change.text.size() : f.size - 1);
        break;
    }
}

double CSnapshotCodec::asDouble(const FieldChange& change)
{
    switch (fields()[change.field].kind) {
    case FieldKind::Double: {
        const auto bits = static_cast<std::uint64_t>(change.number);
        double v;
        std::memcpy(&v, &bits, sizeof v);
        return v;
    }
    case FieldKind::Float: {
        const auto bits = static_cast<std::uint32_t>(change.number);
        float v;
        std::memcpy(&v, &bits, sizeof v);
        return v;
    }
    case FieldKind::Text:
        return 0.0;
    default:
        return static_cast<double>(change.number);
    }
}

std::int64_t CSnapshotCodec::predict(std::uint16_t field) const
{
    const History& h = history[field];
    if (h.count == 0)
        return 0;
    if (h.count == 1)
        return h.last;
    // Wrapping arithmetic: the prediction only has to be the same on both sides.
    const auto last = static_cast<std::uint64_t>(h.last);
    return static_cast<std::int64_t>(last + (last - static_cast<std::uint64_t>(h.beforeLast)));
}

void CSnapshotCodec::remember(std::uint16_t field, std::int64_t value)
{
    History& h = history[field];
    h.beforeLast = h.last;
    h.last = value;
    if (h.count < 2)
        ++h.count;
}

void CSnapshotCodec::encodeField(CByteWriter& out, const FieldChange& value)
{
    out.varint(value.field);
    const FieldKind kind = fields()[value.field].kind;
    if (kind == FieldKind::Text) {
        out.text(value.text);
    } else if (isNumber(kind)) {
        const std::int64_t predicted = predict(value.field);
        out.signedVarint(static_cast<std::int64_t>(static_cast<std::uint64_t>(value.number) -
                                                   static_cast<std::uint64_t>(predicted)));
        remember(value.field, value.number);
    } else {
        out.byte(static_cast<std::uint8_t>(value.number));
    }
}

bool CSnapshotCodec::decodeField(CByteReader& in, FieldChange& value)
{
    const std::uint64_t field = in.varint();
    if (in.failed() || field >= fields().size()) {
        in.fail();
        return false;
    }
    value.field = static_cast<std::uint16_t>(field);
    const SnapshotField& f = fields()[value.field];
    if (f.kind == FieldKind::Text) {
        value.text = in.text(f.size - 1);
    } else if (isNumber(f.kind)) {
        const std::int64_t residual = in.signedVarint();
        value.number = static_cast<std::int64_t>(static_cast<std::uint64_t>(predict(value.field)) +
                                                 static_cast<std::uint64_t>(residual));
        if (!in.failed())
            remember(value.field, value.number);
    } else {
        value.number = in.byte();
    }
    return !in.failed();
}

bool CSnapshotCodec::differ(const CFlightSimulatorObjects& a, const CFlightSimulatorObjects& b)
{
    for (const SnapshotField& f : fields()) {
        if (std::memcmp(reinterpret_cast<const char*>(&a) + f.offset, reinterpret_cast<const char*>(&b) + f.offset,
                        f.size) != 0)
            return true;
    }
    return false;
}

void CSnapshotCodec::encodeChanges(CByteWriter& out, const CFlightSimulatorObjects& before,
                                   const CFlightSimulatorObjects& after)
{
    std::vector<FieldChange> changed;
    for (std::uint16_t i = 0; i < fields().size(); ++i) {
        const SnapshotField& f = fields()[i];
        const char* a = reinterpret_cast<const char*>(&before) + f.offset;
        const char* b = reinterpret_cast<const char*>(&after) + f.offset;
        if (std::memcmp(a, b, f.size) != 0)
            changed.push_back(read(after, i));
    }
    out.varint(changed.size());
    for (const FieldChange& c : changed)
        encodeField(out, c);
}

void CSnapshotCodec::encodeAll(CByteWriter& out, const CFlightSimulatorObjects& snapshot)
{
    out.varint(fields().size());
    for (std::uint16_t i = 0; i < fields().size(); ++i)
        encodeField(out, read(snapshot, i));
}

bool CSnapshotCodec::decode(CByteReader& in, std::vector<FieldChange>& out)
{
    out.clear();
    const std::uint64_t count = in.varint();
    if (in.failed() || count > fields().size()) {
        in.fail();
        return false;
    }
    out.resize(static_cast<std::size_t>(count));
    for (FieldChange& c : out) {
        if (!decodeField(in, c))
            return false;
    }
    return true;
}
