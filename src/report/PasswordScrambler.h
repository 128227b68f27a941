// The scrambled form of the stored login password: each byte, shifted by an
// offset and a per-position step, becomes two letters 'a'..'p' (low nibble
// first). It keeps the password out of plain sight; it is not encryption.
#pragma once

#include <string>
#include <string_view>

class CPasswordScrambler {
public:
    // Longest password kept. Older clients kept 30 characters; the letter
    // pairs simply continue, so their values read exactly as before.
    static constexpr std::size_t kMaxLength = 127;

    static std::string scramble(std::string_view password);
    // Unscrambles whole letter pairs (a trailing single letter is ignored);
    // stops at a pair that decodes to a zero byte.
    static std::string unscramble(std::string_view letters);

private:
    static constexpr unsigned kOffset = 0x2D;
    static constexpr unsigned kStep = 0x13;
};
