// The MD5 message digest (RFC 1321) and the hex digests the server link uses:
// the check code of uploads and the check code of the report file.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class CMd5 {
public:
    CMd5() { reset(); }
    void reset();
    void update(const unsigned char* data, std::size_t length);
    // Ends the message; the object must be reset before it is used again.
    std::array<unsigned char, 16> finish();

    static std::string toHex(const std::array<unsigned char, 16>& digest);

private:
    void transform(const unsigned char block[64]);

    std::uint32_t state[4];
    std::uint64_t bitCount;
    unsigned char buffer[64];
};

// 32 lower-case hexadecimal digits of the digest of text.
std::string md5Hex(std::string_view text);
// The same over a file's bytes; throws hlException when it cannot be read.
std::string md5HexOfFile(const std::string& path);
