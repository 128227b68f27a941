// The start and airport payloads of a flight recording.
#include "recorder/RecordCoding.h"

#include <cstring>

namespace Recording {

namespace {
constexpr std::size_t kMaxAirports = 100000;
constexpr std::size_t kMaxCode = 35;
constexpr std::size_t kMaxName = 256;
constexpr std::size_t kMaxRules = 1 << 20;
} // namespace

void encodeDouble(CByteWriter& out, double value)
{
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    out.fixed64(bits);
}

double decodeDouble(CByteReader& in)
{
    const std::uint64_t bits = in.fixed64();
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void encodeBlob(CByteWriter& out, const void* data, std::size_t size)
{
    const auto* bytes = static_cast<const unsigned char*>(data);
    out.varint(size);
    std::size_t pos = 0;
    while (pos < size) {
        std::size_t literal = pos;
        while (literal < size && bytes[literal] != 0)
            ++literal;
        std::size_t zeros = literal;
        while (zeros < size && bytes[zeros] == 0)
            ++zeros;
        out.varint(literal - pos);
        out.raw(bytes + pos, literal - pos);
        out.varint(zeros - literal);
        pos = zeros;
    }
}

bool decodeBlob(CByteReader& in, void* data, std::size_t size)
{
    auto* bytes = static_cast<unsigned char*>(data);
    std::memset(bytes, 0, size);
    if (in.varint() != size) {
        in.fail();
        return false;
    }
    std::size_t pos = 0;
    while (pos < size && !in.failed()) {
        const std::uint64_t literal = in.varint();
        if (literal > size - pos || !in.raw(bytes + pos, static_cast<std::size_t>(literal))) {
            in.fail();
            break;
        }
        pos += static_cast<std::size_t>(literal);
        const std::uint64_t zeros = in.varint();
        if (zeros > size - pos || (literal == 0 && zeros == 0)) {
            in.fail();
            break;
        }
        pos += static_cast<std::size_t>(zeros);
    }
    return !in.failed();
}

void encodeAirports(CByteWriter& out, const std::vector<Airport>& airports)
{
    out.varint(airports.size());
    for (const Airport& a : airports) {
        out.text(a.code);
        encodeDouble(out, a.lat);
        encodeDouble(out, a.lon);
        encodeDouble(out, a.fuelPrice);
        encodeDouble(out, a.landingFee);
        out.signedVarint(a.size);
    }
}

bool decodeAirports(CByteReader& in, std::vector<Airport>& airports)
{
    airports.clear();
    const std::uint64_t count = in.varint();
    // Each airport takes at least 34 bytes: a count beyond what is left is damage.
    if (count > kMaxAirports || count > in.remaining() / 34) {
        in.fail();
        return false;
    }
    airports.resize(static_cast<std::size_t>(count));
    for (Airport& a : airports) {
        a.code = in.text(kMaxCode);
        a.lat = decodeDouble(in);
        a.lon = decodeDouble(in);
        a.fuelPrice = decodeDouble(in);
        a.landingFee = decodeDouble(in);
        a.size = static_cast<std::int32_t>(in.signedVarint());
    }
    return !in.failed();
}

void encodeStart(CByteWriter& out, const Start& s)
{
    out.signedVarint(s.timeMs);
    out.varint(CSnapshotCodec::fields().size());
    out.text(s.interfaceName);
    out.signedVarint(s.simulatorVersion);
    out.text(s.simulatorIdent);
    out.text(s.osName);
    out.signedVarint(s.fuelMethod);
    out.signedVarint(s.weightUnit);
    out.byte((s.penaltiesOff ? 1 : 0) | (s.trackerOn ? 2 : 0) | (s.fsMessages ? 4 : 0));
    std::uint32_t price;
    std::memcpy(&price, &s.lastFuelPrice, sizeof price);
    out.fixed32(price);
    out.text(s.closestAirport);
    encodeDouble(out, s.closestAirportDistance);
    out.text(s.rules);
    encodeBlob(out, &s.pilot, sizeof s.pilot);
    encodeBlob(out, &s.route, sizeof s.route);
    encodeBlob(out, &s.flightLog, sizeof s.flightLog);
    encodeBlob(out, &s.aircraft, sizeof s.aircraft);
    encodeBlob(out, &s.airline, sizeof s.airline);
    encodeBlob(out, &s.report, sizeof s.report);
    encodeBlob(out, &s.types, sizeof s.types);
    encodeAirports(out, s.airports);
}

bool decodeStart(CByteReader& in, Start& s)
{
    s.timeMs = in.signedVarint();
    // A recording from a newer client may know more fields than this one.
    if (in.varint() > CSnapshotCodec::fields().size()) {
        in.fail();
        return false;
    }
    s.interfaceName = in.text(kMaxName);
    s.simulatorVersion = static_cast<std::int32_t>(in.signedVarint());
    s.simulatorIdent = in.text(kMaxName);
    s.osName = in.text(kMaxName);
    s.fuelMethod = static_cast<std::int32_t>(in.signedVarint());
    s.weightUnit = static_cast<std::int32_t>(in.signedVarint());
    const std::uint8_t flags = in.byte();
    s.penaltiesOff = (flags & 1) != 0;
    s.trackerOn = (flags & 2) != 0;
    s.fsMessages = (flags & 4) != 0;
    const std::uint32_t price = in.fixed32();
    std::memcpy(&s.lastFuelPrice, &price, sizeof price);
    s.closestAirport = in.text(kMaxCode);
    s.closestAirportDistance = decodeDouble(in);
    s.rules = in.text(kMaxRules);
    return decodeBlob(in, &s.pilot, sizeof s.pilot) && decodeBlob(in, &s.route, sizeof s.route) &&
           decodeBlob(in, &s.flightLog, sizeof s.flightLog) && decodeBlob(in, &s.aircraft, sizeof s.aircraft) &&
           decodeBlob(in, &s.airline, sizeof s.airline) && decodeBlob(in, &s.report, sizeof s.report) &&
           decodeBlob(in, &s.types, sizeof s.types) && decodeAirports(in, s.airports);
}

} // namespace Recording
