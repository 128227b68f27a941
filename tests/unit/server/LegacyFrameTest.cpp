// The legacy answer frame: result words, rows kept or replaced, lookups.
#include "server/LeadingNumber.h"
#include "server/LegacyFrame.h"
#include "server/LegacyResult.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

void copyOld(char (&out)[8])
{
    std::memcpy(out, "old", 4);
}

struct FrameCase {
    const char* name;
    std::string answer;
    int result;
};

class FrameResults : public ::testing::TestWithParam<FrameCase> {};

TEST_P(FrameResults, AnswerGivesResultCode)
{
    CLegacyFrame frame;
    bool logRaw = false;
    EXPECT_EQ(frame.parse(GetParam().answer, logRaw), GetParam().result);
    EXPECT_EQ(logRaw, GetParam().result != LegacySuccess);
}

INSTANTIATE_TEST_SUITE_P(
    Words, FrameResults,
    ::testing::Values(FrameCase{"NoUser", "DATASTART\nNO USER\n", LegacyNoUser},
                      FrameCase{"WrongCode", "junk\r\nDATASTART\r\nWRONG CODE\r\n", LegacyWrongCode},
                      FrameCase{"AlreadyUploaded", "DATASTART\nALREADY UPLOADED  \n", LegacyAlreadyUploaded},
                      FrameCase{"BadLogin", "DATASTART\nBAD LOGINDATA", LegacyBadLoginData},
                      FrameCase{"NotFound", "DATASTART\nNOT FOUND\nDATAEND\n", LegacyNotFound},
                      FrameCase{"Invalid", "DATASTART\nINVALID\n", LegacyInvalid},
                      FrameCase{"InitFailed", "DATASTART\nINIT FAILED\n", LegacyInitFailed},
                      FrameCase{"NoLog", "DATASTART\nNO LOG\n", LegacyNoLog},
                      FrameCase{"UnknownWord", "DATASTART\nMAYBE\nDATAEND\n", LegacyBadData},
                      FrameCase{"NoStart", "SUCCESS\na|b\n1|2\nDATAEND\n", LegacyBadData},
                      FrameCase{"StartOnly", "DATASTART\n", LegacyBadData},
                      FrameCase{"TruncatedRows", "DATASTART\nSUCCESS\na|b\n1|2\n", LegacyBadData},
                      FrameCase{"TransportError", "Error 7 has occurred.\n", LegacyBadData},
                      FrameCase{"EmptyTable", "DATASTART\nSUCCESS\nDATAEND\n", LegacySuccess},
                      FrameCase{"Table", "DATASTART\nSUCCESS\na|b\n1|2\nDATAEND\ntrailing", LegacySuccess}),
    [](const auto& info) { return std::string(info.param.name); });

class FrameWithTable : public ::testing::Test {
protected:
    void SetUp() override
    {
        bool logRaw = false;
        ASSERT_EQ(frame.parse("DATASTART\nSUCCESS\na|b|c\nx0|y0|z0\nx1|y1|z1\nDATAEND\n", logRaw), 0);
    }
    CLegacyFrame frame;
};

TEST_F(FrameWithTable, LookupByColumnAndRow)
{
    char out[8] = "old";
    EXPECT_EQ(frame.getText("b", 1, out), 0);
    EXPECT_STREQ(out, "y1");
    EXPECT_EQ(frame.getText("c", 0, out), 0);
    EXPECT_STREQ(out, "z0");
}

TEST_F(FrameWithTable, UnknownColumnOrRowAnswersMinusOneAndEmpties)
{
    char out[8] = "old";
    EXPECT_EQ(frame.getText("B", 0, out), -1) << "columns compare case-sensitively";
    EXPECT_STREQ(out, "");
    copyOld(out);
    EXPECT_EQ(frame.getText("a", 2, out), -1);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(frame.getInt("nope", 0), 0);
}

TEST_F(FrameWithTable, SuccessWithoutHeaderKeepsPreviousRows)
{
    bool logRaw = false;
    EXPECT_EQ(frame.parse("DATASTART\nSUCCESS\nDATAEND\n", logRaw), 0);
    char out[8];
    EXPECT_EQ(frame.getText("a", 1, out), 0);
    EXPECT_STREQ(out, "x1");
}

TEST_F(FrameWithTable, CutOffAnswerKeepsPreviousRows)
{
    bool logRaw = false;
    EXPECT_EQ(frame.parse("DATASTART\nSUCCESS\nq\nhalf", logRaw), LegacyBadData);
    char out[8];
    EXPECT_EQ(frame.getText("a", 0, out), 0);
    EXPECT_STREQ(out, "x0");
}

TEST_F(FrameWithTable, NewTableReplacesRows)
{
    bool logRaw = false;
    EXPECT_EQ(frame.parse("DATASTART\nSUCCESS\nq\nv\nDATAEND\n", logRaw), 0);
    char out[8] = "old";
    EXPECT_EQ(frame.getText("a", 0, out), -1);
    EXPECT_EQ(frame.getText("q", 0, out), 0);
    EXPECT_STREQ(out, "v");
}

TEST(LegacyFrame, NoDataRowsLeavesDestinationUntouched)
{
    CLegacyFrame frame;
    char out[8] = "old";
    EXPECT_EQ(frame.getText("a", 0, out), -1);
    EXPECT_STREQ(out, "old");
}

TEST(LegacyFrame, TextIsCutToTheDestination)
{
    CLegacyFrame frame;
    bool logRaw = false;
    ASSERT_EQ(frame.parse("DATASTART\nSUCCESS\ncode\nABCDEFGHIJ\nDATAEND\n", logRaw), 0);
    char out[5] = {'#', '#', '#', '#', '#'};
    EXPECT_EQ(frame.getText("code", 0, out), 0);
    EXPECT_STREQ(out, "ABCD");
}

struct NumberCase {
    const char* field;
    std::int32_t asInt;
    double asDouble;
};

class FrameNumbers : public ::testing::TestWithParam<NumberCase> {};

TEST_P(FrameNumbers, ConvertUpToTheFirstCharacterThatDoesNotFit)
{
    CLegacyFrame frame;
    bool logRaw = false;
    ASSERT_EQ(frame.parse(std::string("DATASTART\nSUCCESS\nn\n") + GetParam().field + "\nDATAEND\n", logRaw), 0);
    EXPECT_EQ(frame.getInt("n", 0), GetParam().asInt);
    EXPECT_DOUBLE_EQ(frame.getDouble("n", 0), GetParam().asDouble);
}

INSTANTIATE_TEST_SUITE_P(Fields, FrameNumbers,
                         ::testing::Values(NumberCase{"42", 42, 42.0}, NumberCase{"-7.5kg", -7, -7.5},
                                           NumberCase{"  3,5", 3, 3.0}, NumberCase{"abc", 0, 0.0},
                                           NumberCase{"", 0, 0.0}, NumberCase{"+12", 12, 12.0},
                                           NumberCase{"99999999999", INT32_MAX, 99999999999.0},
                                           NumberCase{"-99999999999", INT32_MIN, -99999999999.0}));

TEST(LegacyFrame, FieldsAndLineLengthAreBounded)
{
    std::string line;
    for (int i = 0; i < 200; ++i)
        line.append("f").append(std::to_string(i)).append("|");
    const CLegacyFrame::Row row = CLegacyFrame::splitRow(line);
    ASSERT_EQ(row.fields.size(), CLegacyFrame::kMaxFields);
    EXPECT_EQ(row.fields.back(), "f127") << "fields past 128 are dropped";
    const CLegacyFrame::Row longRow = CLegacyFrame::splitRow(std::string(40000, 'x'));
    ASSERT_EQ(longRow.fields.size(), 1u);
    EXPECT_EQ(longRow.fields[0].size(), CLegacyFrame::kMaxLine);
}

} // namespace

namespace {

struct IntegerTextCase {
    const char* text;
    bool whole;
};

class DecimalIntegers : public ::testing::TestWithParam<IntegerTextCase> {};

// Flight log ids must be whole numbers before a position may be sent.
TEST_P(DecimalIntegers, OnlyWholeNumbersInRange)
{
    EXPECT_EQ(isDecimalInteger(GetParam().text), GetParam().whole);
}

INSTANTIATE_TEST_SUITE_P(Texts, DecimalIntegers,
                         ::testing::Values(IntegerTextCase{"9001", true}, IntegerTextCase{"-3", true},
                                           IntegerTextCase{"+7", true}, IntegerTextCase{"", false},
                                           IntegerTextCase{"9001x", false}, IntegerTextCase{" 9001", false},
                                           IntegerTextCase{"+-5", false}, IntegerTextCase{"1.0", false},
                                           IntegerTextCase{"2147483648", false}, IntegerTextCase{"+", false}));

} // namespace
