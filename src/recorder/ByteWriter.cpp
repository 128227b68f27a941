// CByteWriter: little-endian, 7 bits per varint byte.
#include "recorder/ByteWriter.h"

void CByteWriter::varint(std::uint64_t value)
{
    while (value >= 0x80) {
        byte(static_cast<std::uint8_t>(value | 0x80));
        value >>= 7;
    }
    byte(static_cast<std::uint8_t>(value));
}

void CByteWriter::signedVarint(std::int64_t value)
{
    const auto u = static_cast<std::uint64_t>(value);
    varint((u << 1) ^ (value < 0 ? ~std::uint64_t{0} : 0));
}

void CByteWriter::fixed32(std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        byte(static_cast<std::uint8_t>(value >> (8 * i)));
}

void CByteWriter::fixed64(std::uint64_t value)
{
    for (int i = 0; i < 8; ++i)
        byte(static_cast<std::uint8_t>(value >> (8 * i)));
}

void CByteWriter::text(std::string_view value)
{
    varint(value.size());
    bytes.append(value.data(), value.size());
}

void CByteWriter::raw(const void* data, std::size_t size)
{
    bytes.append(static_cast<const char*>(data), size);
}
