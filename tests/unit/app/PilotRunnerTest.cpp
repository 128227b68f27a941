// The scripted pilot on a headless window: it reaches only what a pilot could
// reach, waits while the client keeps running, and says where a script failed.
#include "app/headless/PilotRunner.h"
#include "platform/headless/HeadlessWindow.h"
#include "platform/headless/ManualClock.h"

#include <gtest/gtest.h>

namespace {

// Counts commands and answers one OK/Cancel box per press of button 9.
class Receiver final : public WindowEvents {
public:
    explicit Receiver(Window& w) : window(w) {}
    void onPaint(Painter&) override {}
    void onCommand(int id) override
    {
        pressed.push_back(id);
        if (id == 9)
            answers.push_back(window.messageBox("End?", "Sure", MessageBoxButtons::OkCancel, MessageBoxIcon::Warning));
    }
    Window& window;
    std::vector<int> pressed;
    std::vector<MessageBoxResult> answers;
};

class PilotRunnerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.setEvents(&receiver);
        add(ControlKind::Button, 3, StyleVisible);
        add(ControlKind::Button, 9, StyleVisible);
        add(ControlKind::Button, 31, StyleNone); // not on this page
        add(ControlKind::Edit, 101, StyleNone);
        add(ControlKind::Edit, 102, StylePassword);
        add(ControlKind::Edit, 103, StyleDigitsOnly);
        add(ControlKind::CheckBox, 201, StyleVisible);
        add(ControlKind::Combo, 302, StyleVisible);
        window.showControl(101, true);
        window.showControl(102, true);
        window.showControl(103, true);
        window.setComboItems(302, {"Standard", "Simple", "Read Only"}, 0);
    }
    void add(ControlKind kind, int id, unsigned style)
    {
        window.createControl(ControlSpec{kind, id, "", 0, 0, 1, 1, style});
    }

    // Runs the script with the page moving to `page` once `pageAfterMs` has passed.
    CPilotRunner::State fly(const std::string& text, int startPage = 0)
    {
        CPilotScript script;
        EXPECT_TRUE(script.parse(text)) << script.error();
        runner = std::make_unique<CPilotRunner>(script.commands(), window, [this] { return page; });
        runner->onCommand = [this](const std::string& line) { printed.push_back(line); };
        page = startPage;
        const std::int64_t start = clock->nowMs();
        while (runner->step() == CPilotRunner::State::Running && clock->nowMs() - start < 3600000) {
            clock->advance(10); // one tick
            if (pageAfterMs >= 0 && clock->nowMs() - start >= pageAfterMs)
                page = laterPage;
        }
        elapsedMs = clock->nowMs() - start;
        return runner->state();
    }

    ScopedManualClock clock;
    HeadlessWindow window;
    Receiver receiver{window};
    std::unique_ptr<CPilotRunner> runner;
    std::vector<std::string> printed;
    int page = 0;
    int laterPage = 1;
    std::int64_t pageAfterMs = -1;
    std::int64_t elapsedMs = 0;
};

TEST_F(PilotRunnerTest, CarriesOutAScriptAsAPilotWould)
{
    pageAfterMs = 4000;
    const auto state = fly("type 101 demo@quenvale.example\ntype 102 s3cret word\ntype 103 \"4a2 \"\ncheck 201 1\n"
                           "select 302 Read Only\npress 3\nwait page 1 30\nanswer cancel\npress 9\n"
                           "answer ok\npress 9\nsleep 2\nexpect page 1\n");
    ASSERT_EQ(state, CPilotRunner::State::Finished) << runner->failure();
    EXPECT_EQ(window.getControlText(101), "demo@quenvale.example");
    EXPECT_EQ(window.getControlText(102), "s3cret word");
    EXPECT_EQ(window.getControlText(103), "42") << "a digits-only field takes only the digits";
    EXPECT_TRUE(window.getCheck(201));
    EXPECT_EQ(window.getComboSelection(302), 2);
    EXPECT_EQ(receiver.pressed, (std::vector<int>{201, 3, 9, 9})) << "the check box sends its command";
    EXPECT_EQ(receiver.answers, (std::vector<MessageBoxResult>{MessageBoxResult::Cancel, MessageBoxResult::Ok}));
    // The wait lasted until the page came, the sleep its two seconds.
    EXPECT_GE(elapsedMs, 6000);
    EXPECT_LT(elapsedMs, 6100);
    // The password never reaches the output.
    EXPECT_EQ(printed[1], "type 102 ****");
    for (const std::string& line : printed)
        EXPECT_EQ(line.find("s3cret"), std::string::npos) << line;
}

struct Failure {
    const char* script;
    const char* says;
};

class PilotRunnerFailure : public PilotRunnerTest, public ::testing::WithParamInterface<Failure> {};

TEST_P(PilotRunnerFailure, StopsAtTheLineAndSaysWhy)
{
    EXPECT_EQ(fly(std::string("press 3\n") + GetParam().script + "\npress 9\n"), CPilotRunner::State::Failed);
    EXPECT_EQ(runner->failure(), GetParam().says);
    EXPECT_EQ(receiver.pressed, std::vector<int>{3}) << "nothing after the failed line runs";
}

INSTANTIATE_TEST_SUITE_P(
    Lines, PilotRunnerFailure,
    ::testing::Values(Failure{"press 31", "line 2 (press 31): button 31 is not shown"},
                      Failure{"press 44", "line 2 (press 44): there is no control 44"},
                      Failure{"press 101", "line 2 (press 101): control 101 is an edit field, not a button"},
                      Failure{"type 3 hello", "line 2 (type 3 hello): control 3 is a button, not an edit field"},
                      Failure{"select 302 Turbo", "line 2 (select 302 Turbo): combo box 302 has no item 'Turbo'"},
                      Failure{"expect page 5", "line 2 (expect page 5): the client shows page 0"},
                      Failure{"wait page 7 90", "line 2 (wait page 7 90): waited 90 s, the client shows page 0"}));

struct StrictCase {
    const char* name;
    const char* windowState;
    const char* script;
    const char* says;
};

class PilotRunnerStrict : public PilotRunnerTest, public ::testing::WithParamInterface<StrictCase> {};

TEST_P(PilotRunnerStrict, FailsWhereAPilotWouldBeStuck)
{
    window.state = GetParam().windowState;
    EXPECT_EQ(fly(GetParam().script), CPilotRunner::State::Failed);
    EXPECT_EQ(runner->failure(), GetParam().says);
    EXPECT_TRUE(receiver.answers.empty()) << "no box took an answer meant for another";
}

INSTANTIATE_TEST_SUITE_P(
    Table, PilotRunnerStrict,
    ::testing::Values(
        StrictCase{"AnswerWithoutABox", "normal", "answer ok 5\nsleep 6\n",
                   "line 1 (answer ok 5): no message box came within 5 s"},
        StrictCase{"AnswerLeftUnused", "normal", "answer ok\n",
                   "line 1 (answer ok): the script ended before a message box took this answer"},
        StrictCase{"AnswerNeverAppliesToALaterBox", "normal", "answer cancel 1\nsleep 2\npress 9\n",
                   "line 1 (answer cancel 1): no message box came within 1 s"},
        StrictCase{"MinimisedWindow", "minimised", "press 3\n", "line 1 (press 3): the window is minimised"},
        StrictCase{"HiddenWindow", "hidden", "type 101 x\n", "line 1 (type 101 x): the window is hidden"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PilotRunnerTest, DisabledButtonCannotBePressed)
{
    window.setButtonLook(3, false, false);
    EXPECT_EQ(fly("press 3\n"), CPilotRunner::State::Failed);
    EXPECT_EQ(runner->failure(), "line 1 (press 3): button 3 is disabled");
    EXPECT_TRUE(receiver.pressed.empty());
}

} // namespace
