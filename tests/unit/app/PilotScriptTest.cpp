// Pilot scripts: what a script author writes and what the runner is told.
#include "app/headless/PilotScript.h"
#include "support/DecimalCommaLocale.h"

#include <gtest/gtest.h>

#include <clocale>

namespace {

struct GoodLine {
    const char* line;
    PilotCommand::Kind kind;
    int id;
    const char* text;
    double seconds;
};

class PilotScriptGoodLine : public ::testing::TestWithParam<GoodLine> {};

TEST_P(PilotScriptGoodLine, Parses)
{
    const GoodLine& g = GetParam();
    CPilotScript script;
    ASSERT_TRUE(script.parse(std::string("# header\n\n") + g.line + "\r\n")) << script.error();
    ASSERT_EQ(script.commands().size(), 1u);
    const PilotCommand& c = script.commands()[0];
    EXPECT_EQ(c.kind, g.kind);
    EXPECT_EQ(c.line, 3);
    EXPECT_EQ(c.id, g.id);
    EXPECT_EQ(c.text, g.text);
    EXPECT_DOUBLE_EQ(c.seconds, g.seconds);
}

INSTANTIATE_TEST_SUITE_P(Lines, PilotScriptGoodLine,
                         ::testing::Values(GoodLine{"wait page 5", PilotCommand::WaitPage, 5, "", 60.0},
                                           GoodLine{"  wait page 15 1800 ", PilotCommand::WaitPage, 15, "", 1800.0},
                                           GoodLine{"wait page 1 0.25", PilotCommand::WaitPage, 1, "", 0.25},
                                           GoodLine{"expect page 0", PilotCommand::ExpectPage, 0, "", 60.0},
                                           GoodLine{"type 116 Smooth flight, thanks\tcrew", PilotCommand::Type, 116,
                                                    "Smooth flight, thanks\tcrew", 0.0},
                                           GoodLine{"type 101", PilotCommand::Type, 101, "", 0.0},
                                           GoodLine{"select 302 Read Only", PilotCommand::Select, 302, "Read Only",
                                                    0.0},
                                           GoodLine{"check 210 1", PilotCommand::Check, 210, "1", 0.0},
                                           GoodLine{"press 32783", PilotCommand::Press, 32783, "", 0.0},
                                           GoodLine{"answer cancel", PilotCommand::Answer, 0, "cancel", 60.0},
                                           GoodLine{"answer ok 5", PilotCommand::Answer, 0, "ok", 5.0},
                                           GoodLine{"type 116 \"Smooth  \"", PilotCommand::Type, 116, "Smooth  ", 0.0},
                                           GoodLine{"sleep 2.5", PilotCommand::Sleep, 0, "", 2.5}));

TEST(PilotScript, SecondsIgnoreTheLocale)
{
    QVL_USE_DECIMAL_COMMA_LOCALE(german);
    CPilotScript script;
    const bool parsed = script.parse("sleep 1.5\n");
    german.restore();
    ASSERT_TRUE(parsed) << script.error();
    EXPECT_DOUBLE_EQ(script.commands()[0].seconds, 1.5);
}

TEST(PilotScript, AByteOrderMarkIsNoCommandAndAnErrorQuotesALineShort)
{
    CPilotScript script;
    ASSERT_TRUE(script.parse("\xEF\xBB\xBFpress 3\n")) << script.error();
    EXPECT_EQ(script.commands()[0].id, 3);
    EXPECT_FALSE(script.parse("press 3\n" + std::string(500 * 1024, 'x') + "\n"));
    EXPECT_EQ(script.error(), "line 2: unknown command '" + std::string(80, 'x') + "...'");
    EXPECT_FALSE(script.parse("press " + std::string(300, '9') + "\n"));
    EXPECT_EQ(script.error(),
              "line 1: press needs a control id from 0 to 65535: press " + std::string(74, '9') + "...");
}

struct BadLine {
    const char* line;
    const char* error;
};

class PilotScriptBadLine : public ::testing::TestWithParam<BadLine> {};

TEST_P(PilotScriptBadLine, NamesTheLine)
{
    CPilotScript script;
    EXPECT_FALSE(script.parse(std::string("press 3\n") + GetParam().line + "\npress 4\n"));
    EXPECT_EQ(script.error().rfind(std::string("line 2: ") + GetParam().error, 0), 0u) << script.error();
    EXPECT_TRUE(script.commands().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Lines, PilotScriptBadLine,
    ::testing::Values(BadLine{"Press 3", "unknown command 'Press'"}, BadLine{"wait 5", "wait needs 'page N'"},
                      BadLine{"wait page 20", "wait needs 'page N'"}, BadLine{"wait page -1", "wait needs 'page N'"},
                      BadLine{"wait page 5 0", "wait needs a number of seconds"},
                      BadLine{"wait page 5 1e9", "wait needs a number of seconds"},
                      BadLine{"wait page 5 nan", "wait needs a number of seconds"},
                      BadLine{"wait page 5 10 more", "too many words"}, BadLine{"expect page 5 10", "too many words"},
                      BadLine{"press", "press needs a control id"}, BadLine{"press 3x", "press needs a control id"},
                      BadLine{"press 99999999999", "press needs a control id"}, BadLine{"press 3 4", "too many words"},
                      BadLine{"check 201 yes", "check needs 0 or 1"}, BadLine{"select 302", "select needs the text"},
                      BadLine{"answer yes", "answer needs ok"},
                      BadLine{"answer ok 0", "answer needs a number of seconds"},
                      BadLine{"sleep", "sleep needs a number"}, BadLine{"sleep 1,5", "sleep needs a number"}));

} // namespace
