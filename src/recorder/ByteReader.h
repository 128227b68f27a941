// Reads what CByteWriter wrote, never past the end: every read checks the
// bytes left and a failed read sets the reader's error, after which all reads
// answer zero.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class CByteReader {
public:
    explicit CByteReader(std::string_view bytes) : data(bytes) {}

    std::uint64_t varint();
    std::int64_t signedVarint();
    std::uint8_t byte();
    std::uint32_t fixed32();
    std::uint64_t fixed64();
    // A text of at most maxSize bytes.
    std::string text(std::size_t maxSize);
    // size bytes into destination (zeroed on failure).
    bool raw(void* destination, std::size_t size);
    std::string_view take(std::size_t size);

    bool failed() const { return bad; }
    bool atEnd() const { return pos >= data.size(); }
    std::size_t position() const { return pos; }
    std::size_t remaining() const { return data.size() - pos; }
    void fail() { bad = true; }

private:
    std::string_view data;
    std::size_t pos = 0;
    bool bad = false;
};
