// CPasswordScrambler: the letter-pair encoding of PasswordCrypt.
#include "report/PasswordScrambler.h"

std::string CPasswordScrambler::scramble(std::string_view password)
{
    const std::size_t n = password.size() < kMaxLength ? password.size() : kMaxLength;
    std::string out;
    out.reserve(2 * n);
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned c = (static_cast<unsigned char>(password[i]) + kOffset + kStep * i) & 0xFFu;
        out.push_back(static_cast<char>('a' + (c % 16)));
        out.push_back(static_cast<char>('a' + (c / 16)));
    }
    return out;
}

std::string CPasswordScrambler::unscramble(std::string_view letters)
{
    std::string out;
    const std::size_t pairs = letters.size() / 2 < kMaxLength ? letters.size() / 2 : kMaxLength;
    for (std::size_t i = 0; i < pairs; ++i) {
        // Signed arithmetic modulo 256 reproduces the old reader for any text.
        const int p = static_cast<unsigned char>(letters[2 * i]) - 'a';
        const int q = static_cast<unsigned char>(letters[2 * i + 1]) - 'a';
        const int raw = q * 16 + p - static_cast<int>(kOffset) - static_cast<int>(kStep * i);
        const unsigned char byte = static_cast<unsigned char>(((raw % 256) + 256) % 256);
        if (byte == 0)
            break;
        out.push_back(static_cast<char>(byte));
    }
    return out;
}
