// Appends the recording's primitive values to a byte buffer: variable-length
// integers (small numbers take one byte), fixed-width bit patterns and texts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class CByteWriter {
public:
    void varint(std::uint64_t value);
    // Signed numbers zig-zag folded, so small negative values stay short.
    void signedVarint(std::int64_t value);
    void byte(std::uint8_t value) { bytes.push_back(static_cast<char>(value)); }
    void fixed32(std::uint32_t value);
    void fixed64(std::uint64_t value);
    void text(std::string_view value);
    void raw(const void* data, std::size_t size);

    const std::string& data() const { return bytes; }
    std::size_t size() const { return bytes.size(); }
    void clear() { bytes.clear(); }

private:
    std::string bytes;
};
