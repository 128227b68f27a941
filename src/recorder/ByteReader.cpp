// CByteReader: bounds-checked decoding of the recording's primitives.
#include "recorder/ByteReader.h"

#include <cstring>

std::uint64_t CByteReader::varint()
{
    std::uint64_t value = 0;
    for (int shift = 0; shift < 64; shift += 7) {
        const std::uint8_t b = byte();
        if (bad)
            return 0;
        value |= static_cast<std::uint64_t>(b & 0x7F) << shift;
        if ((b & 0x80) == 0)
            return value;
    }
    bad = true; // more than ten bytes: not a number we wrote
    return 0;
}

std::int64_t CByteReader::signedVarint()
{
    const std::uint64_t u = varint();
    return static_cast<std::int64_t>((u >> 1) ^ (~(u & 1) + 1));
}

std::uint8_t CByteReader::byte()
{
    if (bad || pos >= data.size()) {
        bad = true;
        return 0;
    }
    return static_cast<std::uint8_t>(data[pos++]);
}

std::uint32_t CByteReader::fixed32()
{
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value |= static_cast<std::uint32_t>(byte()) << (8 * i);
    return bad ? 0 : value;
}

std::uint64_t CByteReader::fixed64()
{
    std::uint64_t value = 0;
    for (int i = 0; i < 8; ++i)
        value |= static_cast<std::uint64_t>(byte()) << (8 * i);
    return bad ? 0 : value;
}

std::string_view CByteReader::take(std::size_t size)
{
    if (bad || size > remaining()) {
        bad = true;
        return {};
    }
    const std::string_view part = data.substr(pos, size);
    pos += size;
    return part;
}

std::string CByteReader::text(std::size_t maxSize)
{
    const std::uint64_t size = varint();
    if (size > maxSize) {
        bad = true;
        return {};
    }
    return std::string(take(static_cast<std::size_t>(size)));
}

bool CByteReader::raw(void* destination, std::size_t size)
{
    const std::string_view part = take(size);
    if (bad) {
        std::memset(destination, 0, size);
        return false;
    }
    std::memcpy(destination, part.data(), size);
    return true;
}
