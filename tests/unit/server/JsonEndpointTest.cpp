// The JSON side without a network: token placement, parsing limits, member
// readers that log and answer nothing instead of throwing.
#include "server/JsonEndpoint.h"

#include <gtest/gtest.h>

namespace {

TEST(JsonEndpoint, TokenGoesAfterQuestionMarkOrAmpersand)
{
    EXPECT_EQ(CJsonEndpoint::withToken("/api/pilots/7/booked_airports", "T1"),
              "/api/pilots/7/booked_airports?QVL-TOKEN-CLIENT=T1");
    EXPECT_EQ(CJsonEndpoint::withToken("/api/x?a=1", "T1"), "/api/x?a=1&QVL-TOKEN-CLIENT=T1");
}

TEST(JsonEndpoint, WritesStringMembersInOrder)
{
    CJsonEndpoint::Tree t;
    t.put("user", "ann");
    t.put("password", "p\"w");
    t.put("volume_id", "0BADF00D");
    EXPECT_EQ(CJsonEndpoint::write(t), R"({"user":"ann","password":"p\"w","volume_id":"0BADF00D"})");
}

struct ParseCase {
    const char* name;
    std::string text;
    bool ok;
};

class JsonParse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(JsonParse, AcceptsOnlyWellFormedAndBoundedInput)
{
    CJsonEndpoint::Tree t;
    std::string error;
    EXPECT_EQ(CJsonEndpoint::parse(GetParam().text, t, error), GetParam().ok) << error;
    EXPECT_EQ(error.empty(), GetParam().ok);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, JsonParse,
    ::testing::Values(ParseCase{"Object", R"({"token":"abc"})", true}, ParseCase{"Empty", "", false},
                      ParseCase{"Html", "<html>500</html>", false}, ParseCase{"Cut", R"({"token":"ab)", false},
                      ParseCase{"Deep", std::string(100000, '[') + std::string(100000, ']'), false},
                      ParseCase{"BracketsInString", R"({"a":")" + std::string(200, '[') + R"("})", true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(JsonEndpoint, ReadersAnswerNothingForMissingOrMistypedMembers)
{
    CDebugLog log("JsonEndpointTest", CDebugLog::Quiet{});
    CJsonEndpoint json(log);
    CJsonEndpoint::Tree t;
    std::string error;
    ASSERT_TRUE(CJsonEndpoint::parse(R"({"icao":"EDDF","lat":50.03,"size":"3","bad":"x1","obj":{"a":1},"n":-2})",
                                     t, error));
    EXPECT_EQ(json.readText(t, "icao").value_or("-"), "EDDF");
    EXPECT_DOUBLE_EQ(json.readNumber(t, "lat").value_or(0), 50.03);
    EXPECT_EQ(json.readInteger(t, "size").value_or(0), 3);
    EXPECT_EQ(json.readInteger(t, "n").value_or(0), -2);
    EXPECT_FALSE(json.readText(t, "name"));
    EXPECT_FALSE(json.readNumber(t, "bad"));
    EXPECT_FALSE(json.readText(t, "obj"));
    EXPECT_FALSE(json.readInteger(t, "lat")) << "a fraction is not an integer";
}

} // namespace
