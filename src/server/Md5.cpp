// CMd5: the reference algorithm of RFC 1321 over 64-byte blocks.
#include "server/Md5.h"

#include "server/Md5Wrapper.h"

#include <cstring>

namespace {

constexpr std::uint32_t kSine[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};

constexpr int kShift[64] = {7,  12, 17, 22, 7,  12, 17, 22, 7,  12, 17, 22, 7,  12, 17, 22, 5,  9,  14, 20, 5,  9,
                            14, 20, 5,  9,  14, 20, 5,  9,  14, 20, 4,  11, 16, 23, 4,  11, 16, 23, 4,  11, 16, 23,
                            4,  11, 16, 23, 6,  10, 15, 21, 6,  10, 15, 21, 6,  10, 15, 21, 6,  10, 15, 21};

std::uint32_t rotateLeft(std::uint32_t x, int n)
{
    return (x << n) | (x >> (32 - n));
}

} // namespace

void CMd5::reset()
{
    state[0] = 0x67452301;
    state[1] = 0xefcdab89;
    state[2] = 0x98badcfe;
    state[3] = 0x10325476;
    bitCount = 0;
    std::memset(buffer, 0, sizeof buffer);
}

void CMd5::transform(const unsigned char block[64])
{
    std::uint32_t m[16];
    for (int i = 0; i < 16; ++i) {
        m[i] = static_cast<std::uint32_t>(block[i * 4]) | static_cast<std::uint32_t>(block[i * 4 + 1]) << 8 |
               static_cast<std::uint32_t>(block[i * 4 + 2]) << 16 | static_cast<std::uint32_t>(block[i * 4 + 3]) << 24;
    }
    std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    for (int i = 0; i < 64; ++i) {
        std::uint32_t f;
        int g;
        if (i < 16) {
            f = (b & c) | (~b & d);
            g = i;
        } else if (i < 32) {
            f = (d & b) | (~d & c);
            g = (5 * i + 1) % 16;
        } else if (i < 48) {
            f = b ^ c ^ d;
            g = (3 * i + 5) % 16;
        } else {
            f = c ^ (b | ~d);
            g = (7 * i) % 16;
        }
        const std::uint32_t next = b + rotateLeft(a + f + kSine[i] + m[g], kShift[i]);
        a = d;
        d = c;
        c = b;
        b = next;
    }
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
}

void CMd5::update(const unsigned char* data, std::size_t length)
{
    std::size_t used = static_cast<std::size_t>((bitCount / 8) % 64);
    bitCount += static_cast<std::uint64_t>(length) * 8;
    std::size_t offset = 0;
    if (used > 0) {
        const std::size_t take = length < 64 - used ? length : 64 - used;
        std::memcpy(buffer + used, data, take);
        used += take;
        offset = take;
        if (used < 64)
            return;
        transform(buffer);
    }
    for (; offset + 64 <= length; offset += 64)
        transform(data + offset);
    if (offset < length)
        std::memcpy(buffer, data + offset, length - offset);
}

std::array<unsigned char, 16> CMd5::finish()
{
    const std::uint64_t bits = bitCount;
    unsigned char pad[64] = {0x80};
    const std::size_t used = static_cast<std::size_t>((bits / 8) % 64);
    update(pad, used < 56 ? 56 - used : 120 - used);
    unsigned char length[8];
    for (int i = 0; i < 8; ++i)
        length[i] = static_cast<unsigned char>(bits >> (8 * i));
    update(length, 8);
    std::array<unsigned char, 16> digest{};
    for (int i = 0; i < 16; ++i)
        digest[static_cast<std::size_t>(i)] = static_cast<unsigned char>(state[i / 4] >> (8 * (i % 4)));
    return digest;
}

std::string CMd5::toHex(const std::array<unsigned char, 16>& digest)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string hex(32, '0');
    for (std::size_t i = 0; i < 16; ++i) {
        hex[i * 2] = kDigits[digest[i] >> 4];
        hex[i * 2 + 1] = kDigits[digest[i] & 0x0f];
    }
    return hex;
}

std::string md5Hex(std::string_view text)
{
    CMd5 md5;
    md5.update(reinterpret_cast<const unsigned char*>(text.data()), text.size());
    return CMd5::toHex(md5.finish());
}

std::string md5HexOfFile(const std::string& path)
{
    md5wrapper wrapper;
    return wrapper.getHashFromFile(path);
}
