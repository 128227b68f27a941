// XPlanePackets: little-endian coding of the messages and their checks.
#include "sim/xplane/XPlanePackets.h"

#include <cmath>
#include <cstring>

namespace XPlanePackets {

namespace {

void putU32(Bytes& out, std::uint32_t v)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void putFloat(Bytes& out, float v)
{
    std::uint32_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    putU32(out, bits);
}

std::uint32_t getU32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

float getFloat(const std::uint8_t* p)
{
    const std::uint32_t bits = getU32(p);
    float v = 0.0f;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

void putHeader(Bytes& out, const char* kind)
{
    out.assign(kind, kind + 4);
    out.push_back(0);
}

// The name and its terminator in a field of `size` bytes, zero-filled.
bool putName(Bytes& out, const std::string& name, std::size_t size)
{
    if (name.empty() || name.size() >= size || name.find('\0') != std::string::npos)
        return false;
    out.insert(out.end(), name.begin(), name.end());
    out.resize(out.size() + size - name.size(), 0);
    return true;
}

} // namespace

bool rrefRequest(std::int32_t perSecond, std::int32_t index, const std::string& dataref, Bytes& out)
{
    putHeader(out, "RREF");
    putU32(out, static_cast<std::uint32_t>(perSecond));
    putU32(out, static_cast<std::uint32_t>(index));
    return putName(out, dataref, kRrefNameSize);
}

bool drefPacket(float value, const std::string& dataref, Bytes& out)
{
    putHeader(out, "DREF");
    putFloat(out, value);
    return putName(out, dataref, kDrefNameSize);
}

bool commandPacket(const std::string& command, Bytes& out)
{
    putHeader(out, "CMND");
    if (command.empty() || command.size() >= kMaxCommandSize || command.find('\0') != std::string::npos)
        return false;
    out.insert(out.end(), command.begin(), command.end());
    out.push_back(0);
    return true;
}

std::string kindOf(const std::uint8_t* data, std::size_t size)
{
    if (data == nullptr || size < kHeaderSize)
        return {};
    return std::string(reinterpret_cast<const char*>(data), 4);
}

bool parseRref(const std::uint8_t* data, std::size_t size, std::vector<RrefValue>& out, std::string& error)
{
    if (kindOf(data, size) != "RREF") {
        error = "not an RREF packet";
        return false;
    }
    const std::size_t body = size - kHeaderSize;
    if (body == 0 || body % 8 != 0) {
        error = "RREF packet of " + std::to_string(size) + " bytes is cut";
        return false;
    }
    for (std::size_t at = kHeaderSize; at < size; at += 8) {
        const RrefValue v{static_cast<std::int32_t>(getU32(data + at)), getFloat(data + at + 4)};
        if (!std::isfinite(v.value)) {
            error = "RREF value of index " + std::to_string(v.index) + " is not a number";
            return false;
        }
        out.push_back(v);
    }
    return true;
}

bool parseBeacon(const std::uint8_t* data, std::size_t size, Beacon& out, std::string& error)
{
    // Versions, host, version number, role and port: 16 bytes, then the name.
    constexpr std::size_t kFixed = kHeaderSize + 16;
    if (kindOf(data, size) != "BECN" || size < kFixed) {
        error = "not a BECN packet of at least " + std::to_string(kFixed) + " bytes";
        return false;
    }
    const std::uint8_t* p = data + kHeaderSize;
    out.majorVersion = p[0];
    out.minorVersion = p[1];
    out.hostId = static_cast<std::int32_t>(getU32(p + 2));
    out.versionNumber = static_cast<std::int32_t>(getU32(p + 6));
    out.role = getU32(p + 10);
    out.port = static_cast<std::uint16_t>(p[14] | p[15] << 8);
    const char* name = reinterpret_cast<const char*>(data + kFixed);
    out.computerName.assign(name, strnlen(name, size - kFixed));
    if (out.majorVersion != 1 || out.port == 0) {
        error = "BECN of version " + std::to_string(out.majorVersion) + " or port 0";
        return false;
    }
    return true;
}

} // namespace XPlanePackets
