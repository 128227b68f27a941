// md5wrapper: CMd5 behind the wrapper operations.
#include "server/Md5Wrapper.h"

#include <algorithm>

std::string md5wrapper::hashIt()
{
    const std::array<unsigned char, 16> digest = engine.finish();
    engine.reset();
    return convToString(digest.data());
}

std::string md5wrapper::convToString(const unsigned char* digest)
{
    std::array<unsigned char, 16> bytes{};
    std::copy(digest, digest + 16, bytes.begin());
    return CMd5::toHex(bytes);
}

void md5wrapper::updateContext(const unsigned char* data, std::size_t length)
{
    engine.update(data, length);
}

void md5wrapper::resetContext()
{
    engine.reset();
}
