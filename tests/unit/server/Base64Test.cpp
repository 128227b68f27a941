// Base64 against RFC 4648's vectors and the 1024-character cut.
#include "server/Base64.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

struct Base64Case {
    const char* text;
    const char* encoded;
};

class Base64Vectors : public ::testing::TestWithParam<Base64Case> {};

TEST_P(Base64Vectors, EncodesLikeTheRfc)
{
    char out[kBase64Limit + 1];
    const std::size_t n = base64Encode(out, GetParam().text);
    EXPECT_STREQ(out, GetParam().encoded);
    EXPECT_EQ(n, std::string(GetParam().encoded).size());
}

INSTANTIATE_TEST_SUITE_P(Rfc4648, Base64Vectors,
                         ::testing::Values(Base64Case{"", ""}, Base64Case{"f", "Zg=="}, Base64Case{"fo", "Zm8="},
                                           Base64Case{"foo", "Zm9v"}, Base64Case{"foob", "Zm9vYg=="},
                                           Base64Case{"fooba", "Zm9vYmE="}, Base64Case{"foobar", "Zm9vYmFy"},
                                           Base64Case{"ab", "YWI="}, Base64Case{"abc", "YWJj"},
                                           Base64Case{"\xff\xfe\xfd", "//79"}));

struct CutCase {
    std::size_t inputLength;
    std::size_t outputLength;
};

class Base64Cut : public ::testing::TestWithParam<CutCase> {};

TEST_P(Base64Cut, NeverWritesMoreThan1024Characters)
{
    const std::string text(GetParam().inputLength, 'x');
    char out[kBase64Limit + 8];
    std::memset(out, '#', sizeof out);
    const std::size_t n = base64Encode(out, kBase64Limit + 1, text);
    EXPECT_EQ(n, GetParam().outputLength);
    EXPECT_EQ(std::strlen(out), n);
    EXPECT_EQ(out[kBase64Limit + 1], '#') << "wrote past the buffer";
}

// 767 bytes end in a partial group that still fits; 768 fill exactly 1024.
INSTANTIATE_TEST_SUITE_P(Limits, Base64Cut,
                         ::testing::Values(CutCase{765, 1020}, CutCase{767, 1024}, CutCase{768, 1024},
                                           CutCase{769, 1024}, CutCase{900, 1024}, CutCase{5000, 1024}));

TEST(Base64, SmallDestinationIsCutNotOverrun)
{
    char out[9];
    out[8] = '#';
    EXPECT_EQ(base64Encode(out, 8, "foobarfoobar"), 7u);
    EXPECT_STREQ(out, "Zm9vYmF");
    EXPECT_EQ(out[8], '#');
}

} // namespace
