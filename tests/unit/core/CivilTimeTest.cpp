// Civil-date arithmetic round trips across leap days and epochs.
#include "core/CivilTime.h"

#include <gtest/gtest.h>

struct CivilCase {
    std::int64_t seconds;
    int y, m, d, H, M, S;
};

class CivilTimeTest : public ::testing::TestWithParam<CivilCase> {};

TEST_P(CivilTimeTest, ConvertsBothWays)
{
    const CivilCase& c = GetParam();
    CivilTime t = CivilTime::fromEpochSeconds(c.seconds);
    EXPECT_EQ(t.year, c.y);
    EXPECT_EQ(t.month, c.m);
    EXPECT_EQ(t.day, c.d);
    EXPECT_EQ(t.hour, c.H);
    EXPECT_EQ(t.minute, c.M);
    EXPECT_EQ(t.second, c.S);
    EXPECT_EQ(t.toEpochSeconds(), c.seconds);
}

INSTANTIATE_TEST_SUITE_P(Dates, CivilTimeTest,
                         ::testing::Values(CivilCase{0, 1970, 1, 1, 0, 0, 0},
                                           CivilCase{951782400, 2000, 2, 29, 0, 0, 0},
                                           CivilCase{1765064701, 2025, 12, 6, 23, 45, 1},
                                           CivilCase{-1, 1969, 12, 31, 23, 59, 59},
                                           CivilCase{4107542399, 2100, 2, 28, 23, 59, 59}));

TEST(CivilTimeFormat, FormatsTheLogTimestamp)
{
    CivilTime t = CivilTime::fromEpochSeconds(1765064701);
    EXPECT_EQ(t.format("%Y-%m-%d - %H:%M:%S"), "2025-12-06 - 23:45:01");
}
