// Request texts and their check code: C-locale numbers, key order, the code
// taken over the text before the suffix.
#include "server/LegacyRequest.h"
#include "server/Md5.h"
#include "server/RequestCode.h"
#include "support/DecimalCommaLocale.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>

namespace {

TEST(RequestCode, PicksDigitsTenFiveAndTwoOfTheDigest)
{
    // md5("abc") = 900150983cd24fb0d6963f7d28e17f72
    EXPECT_EQ(requestCode("abc"), "d00");
    EXPECT_EQ(withRequestCode("abc"), "abc&code=d00");
}

TEST(RequestCode, AnyChangedCharacterChangesTheCodeSomewhere)
{
    const std::string base = "function=updateawards&intern_ts=4711&QVL_TOKEN=tok";
    int changed = 0;
    for (std::size_t i = 0; i < base.size(); ++i) {
        std::string other = base;
        other[i] = static_cast<char>(other[i] ^ 1);
        changed += requestCode(other) != requestCode(base) ? 1 : 0;
    }
    // Three hex digits collide with probability 1/4096 per variant.
    EXPECT_GE(changed, static_cast<int>(base.size()) - 1);
}

class FixedFormat : public ::testing::TestWithParam<double> {};

TEST_P(FixedFormat, MatchesPrintfInTheCLocale)
{
    char expected[512];
    std::snprintf(expected, sizeof expected, "%f", GetParam());
    EXPECT_EQ(CLegacyRequest::formatFixed(GetParam()), expected);
}

INSTANTIATE_TEST_SUITE_P(Values, FixedFormat,
                         ::testing::Values(0.0, -0.0, 1.25, -122.3456789, 48.3538, 1e-7, 5e-7, 123456789.0,
                                           0.0000005, 2.5e15, -1.0 / 3.0));

TEST(LegacyRequest, BuildsPairsInOrderAndAppendsTheCode)
{
    CLegacyRequest r("getclosestairport2");
    r.fixed("Lon1", 10.5).fixed("Lon2", 13.5).integer("intern_ts", 77).text("icao", "EDDF");
    EXPECT_EQ(r.str(), "function=getclosestairport2&Lon1=10.500000&Lon2=13.500000&intern_ts=77&icao=EDDF");
    EXPECT_EQ(r.withCode(), r.str() + "&code=" + requestCode(r.str()));
}

TEST(LegacyRequest, NumbersIgnoreTheUserLocale)
{
    QVL_USE_DECIMAL_COMMA_LOCALE(german);
    CLegacyRequest r("x");
    r.fixed("v", 1234.5).integer("n", 1234567);
    german.restore();
    EXPECT_EQ(r.str(), "function=x&v=1234.500000&n=1234567");
}

} // namespace
