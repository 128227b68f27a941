// base64Encode: three bytes in, four characters out, with the length cut.
#include "server/Base64.h"

#include <string>

namespace {
const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

void encodeGroup(const unsigned char* in, std::size_t count, std::string& out)
{
    const unsigned v = static_cast<unsigned>(in[0]) << 16 | (count > 1 ? static_cast<unsigned>(in[1]) << 8 : 0u) |
                       (count > 2 ? static_cast<unsigned>(in[2]) : 0u);
    out += kAlphabet[(v >> 18) & 63];
    out += kAlphabet[(v >> 12) & 63];
    out += count > 1 ? kAlphabet[(v >> 6) & 63] : '=';
    out += count > 2 ? kAlphabet[v & 63] : '=';
}
} // namespace

std::size_t base64Encode(char* destination, std::size_t size, std::string_view text)
{
    if (destination == nullptr || size == 0)
        return 0;
    std::string out;
    unsigned char group[3];
    std::size_t filled = 0;
    for (char c : text) {
        if (out.size() > kBase64Limit - 1)
            break;
        group[filled++] = static_cast<unsigned char>(c);
        if (filled == 3) {
            encodeGroup(group, 3, out);
            filled = 0;
        }
    }
    if (filled > 0 && out.size() < kBase64Limit)
        encodeGroup(group, filled, out);
    const std::size_t n = out.size() < size - 1 ? out.size() : size - 1;
    out.copy(destination, n);
    destination[n] = '\0';
    return n;
}
