// The one rule for text that is not UTF-8, on every system: the window shows
// it as Latin-1, a path or the Windows API gets U+FFFD for each bad byte, and
// UTF-16 with a lone surrogate is reported.
#include "core/TextEncoding.h"

#include <gtest/gtest.h>

namespace {

struct EncodingCase {
    const char* name;
    std::string text;
    bool utf8;
    std::string valid;   // validUtf8
    std::string shown;   // displayText
    std::u16string wide; // utf16FromUtf8
};

const std::string kR = "\xEF\xBF\xBD"; // U+FFFD

class TextEncodingTable : public testing::TestWithParam<EncodingCase> {};

TEST_P(TextEncodingTable, OneRuleForEachBorder)
{
    const EncodingCase& c = GetParam();
    EXPECT_EQ(isUtf8(c.text), c.utf8);
    EXPECT_EQ(validUtf8(c.text), c.valid);
    EXPECT_EQ(displayText(c.text), c.shown);
    EXPECT_EQ(utf16FromUtf8(c.text), c.wide);
    std::string back;
    EXPECT_TRUE(utf8FromUtf16(c.wide, back));
    EXPECT_EQ(back, c.valid) << "UTF-16 back to UTF-8 gives the valid text";
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TextEncodingTable,
    testing::Values(
        EncodingCase{"Empty", "", true, "", "", u""},
        EncodingCase{"Ascii", "EDDF 25C", true, "EDDF 25C", "EDDF 25C", u"EDDF 25C"},
        EncodingCase{"Umlaut", "M\xC3\xBCnchen", true, "M\xC3\xBCnchen", "M\xC3\xBCnchen", u"M\u00FCnchen"},
        EncodingCase{"Euro", "\xE2\x82\xAC", true, "\xE2\x82\xAC", "\xE2\x82\xAC", u"\u20AC"},
        EncodingCase{"Plane", "\xF0\x9F\x9B\xA9", true, "\xF0\x9F\x9B\xA9", "\xF0\x9F\x9B\xA9", u"\U0001F6E9"},
        EncodingCase{"Latin1", "M\xFCnchen", false, "M" + kR + "nchen", "M\xC3\xBCnchen", u"M\uFFFDnchen"},
        EncodingCase{"Overlong", "\xC0\xAF", false, kR + kR, "\xC3\x80\xC2\xAF", u"\uFFFD\uFFFD"},
        EncodingCase{"Surrogate", "\xED\xA0\x80", false, kR + kR + kR, "\xC3\xAD\xC2\xA0\xC2\x80", u"\uFFFD\uFFFD\uFFFD"},
        EncodingCase{"Truncated", "ab\xE2\x82", false, "ab" + kR + kR, "ab\xC3\xA2\xC2\x82", u"ab\uFFFD\uFFFD"},
        EncodingCase{"BeyondUnicode", "\xF4\x90\x80\x80", false, kR + kR + kR + kR,
                     "\xC3\xB4\xC2\x90\xC2\x80\xC2\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"}),
    [](const testing::TestParamInfo<EncodingCase>& info) { return std::string(info.param.name); });

TEST(TextEncoding, LoneSurrogateInUtf16IsReplacedAndReported)
{
    std::string out;
    EXPECT_FALSE(utf8FromUtf16(std::u16string(u"A") + char16_t(0xD83D) + u"B", out));
    EXPECT_EQ(out, "A" + kR + "B");
    EXPECT_FALSE(utf8FromUtf16(std::u16string(1, char16_t(0xDC00)), out));
    EXPECT_EQ(out, kR);
}

} // namespace
