// CPilotRunner: one command after the other; waits keep the loop turning.
#include "app/headless/PilotRunner.h"

#include "platform/Clock.h"
#include "platform/headless/HeadlessWindow.h"

#include <cmath>

namespace {

const char* kindName(int kind)
{
    switch (static_cast<ControlKind>(kind)) {
    case ControlKind::Button:
        return "button";
    case ControlKind::Edit:
        return "edit field";
    case ControlKind::CheckBox:
        return "check box";
    case ControlKind::Combo:
        return "combo box";
    case ControlKind::Progress:
        return "progress bar";
    }
    return "control";
}

std::string withArticle(int kind)
{
    const std::string name = kindName(kind);
    return (name[0] == 'e' ? "an " : "a ") + name;
}

std::string secondsText(double seconds)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", seconds);
    return buf;
}

} // namespace

CPilotRunner::CPilotRunner(std::vector<PilotCommand> script, HeadlessWindow& headlessWindow,
                           std::function<int()> currentPage)
    : commands(std::move(script)), window(headlessWindow), page(std::move(currentPage))
{
}

CPilotRunner::State CPilotRunner::step()
{
    while (current == State::Running) {
        checkAnswers(next >= commands.size());
        if (current != State::Running)
            break;
        if (next >= commands.size()) {
            current = State::Finished;
            break;
        }
        if (!carryOut(commands[next]))
            break;
        deadline = -1;
        ++next;
    }
    return current;
}

bool CPilotRunner::carryOut(const PilotCommand& c)
{
    switch (c.kind) {
    case PilotCommand::WaitPage:
    case PilotCommand::Sleep:
        return waitFor(c);
    case PilotCommand::ExpectPage:
        announce(c);
        if (page() != c.id)
            failWith(c, "the client shows page " + std::to_string(page()));
        return true;
    case PilotCommand::Answer:
        announce(c);
        window.answers.push_back(c.text == "ok" ? MessageBoxResult::Ok : MessageBoxResult::Cancel);
        pendingAnswers.push_back(
            {next, processClock().nowMs() + static_cast<std::int64_t>(std::llround(c.seconds * 1000.0))});
        return true;
    default:
        announce(c);
        return useControl(c);
    }
}

void CPilotRunner::checkAnswers(bool scriptEnded)
{
    while (pendingAnswers.size() > window.answers.size())
        pendingAnswers.pop_front();
    if (pendingAnswers.empty())
        return;
    const PendingAnswer& oldest = pendingAnswers.front();
    const PilotCommand& c = commands[oldest.command];
    if (scriptEnded)
        failWith(c, "the script ended before a message box took this answer");
    else if (processClock().nowMs() >= oldest.deadline)
        failWith(c, "no message box came within " + secondsText(c.seconds) + " s");
    if (current == State::Failed) {
        // A later box must not take an answer meant for this one.
        window.answers.clear();
        pendingAnswers.clear();
    }
}

bool CPilotRunner::waitFor(const PilotCommand& c)
{
    const std::int64_t now = processClock().nowMs();
    if (deadline < 0) {
        announce(c);
        deadline = now + static_cast<std::int64_t>(std::llround(c.seconds * 1000.0));
    }
    if (c.kind == PilotCommand::WaitPage) {
        if (page() == c.id)
            return true;
        if (now >= deadline)
            failWith(c, "waited " + secondsText(c.seconds) + " s, the client shows page " + std::to_string(page()));
        return current == State::Failed;
    }
    return now >= deadline;
}

std::string CPilotRunner::unreachable(int id, int kind) const
{
    const HeadlessWindow::Control* control = window.findControl(id);
    if (control == nullptr)
        return "there is no control " + std::to_string(id);
    if (static_cast<int>(control->layout.kind) != kind)
        return "control " + std::to_string(id) + " is " + withArticle(static_cast<int>(control->layout.kind)) + ", not " +
               withArticle(kind);
    if (window.state == "hidden" || window.state == "minimised")
        return "the window is " + window.state;
    if (!control->visible)
        return kindName(kind) + std::string(" ") + std::to_string(id) + " is not shown";
    if (!control->enabled || !control->lookEnabled)
        return kindName(kind) + std::string(" ") + std::to_string(id) + " is disabled";
    return {};
}

bool CPilotRunner::useControl(const PilotCommand& c)
{
    int kind = static_cast<int>(ControlKind::Button);
    if (c.kind == PilotCommand::Type)
        kind = static_cast<int>(ControlKind::Edit);
    else if (c.kind == PilotCommand::Check)
        kind = static_cast<int>(ControlKind::CheckBox);
    else if (c.kind == PilotCommand::Select)
        kind = static_cast<int>(ControlKind::Combo);
    if (std::string problem = unreachable(c.id, kind); !problem.empty()) {
        failWith(c, problem);
        return true;
    }
    if (c.kind == PilotCommand::Type)
        window.typeText(c.id, c.text);
    else if (c.kind == PilotCommand::Check && window.getCheck(c.id) != c.checked)
        window.clickCheck(c.id);
    else if (c.kind == PilotCommand::Select && !window.selectComboText(c.id, c.text))
        failWith(c, "combo box " + std::to_string(c.id) + " has no item '" + c.text + "'");
    else if (c.kind == PilotCommand::Press)
        window.click(c.id);
    return true;
}

std::string CPilotRunner::shown(const PilotCommand& c) const
{
    const HeadlessWindow::Control* control = window.findControl(c.id);
    const bool secret =
        c.kind == PilotCommand::Type && control != nullptr && (control->layout.style & StylePassword) != 0;
    return secret ? "type " + std::to_string(c.id) + " ****" : c.source;
}

void CPilotRunner::announce(const PilotCommand& c) const
{
    if (onCommand)
        onCommand(shown(c));
}

void CPilotRunner::failWith(const PilotCommand& c, const std::string& what)
{
    current = State::Failed;
    why = "line " + std::to_string(c.line) + " (" + shown(c) + "): " + what;
}
