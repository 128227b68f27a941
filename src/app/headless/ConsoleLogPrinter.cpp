// CConsoleLogPrinter: folding repeats and naming the built-in rules.
#include "app/headless/ConsoleLogPrinter.h"

namespace {

// The rules file is optional: without one the built-in rules apply.
bool isMissingRulesFile(const std::string& channel, const std::string& text)
{
    return channel == "CBlackbox" && text.rfind("loading blackbox.xml failed: File was not found", 0) == 0;
}

// Enough of a folded message to tell it apart in its count line, without
// printing the message a second time.
std::string opening(const std::string& text)
{
    constexpr std::size_t kShown = 16;
    return text.size() <= kShown ? text : text.substr(0, kShown) + "...";
}

} // namespace

CConsoleLogPrinter::CConsoleLogPrinter(std::ostream& stream) : out(stream) {}

void CConsoleLogPrinter::line(CDebugLog::Level level, const std::string& channel, const std::string& text)
{
    if (level != CDebugLog::Level::Warn && level != CDebugLog::Level::Error)
        return;
    if (isMissingRulesFile(channel, text)) {
        // Said once: the rules are loaded again at every flight start.
        if (!rulesNoteShown)
            out << "Note: [" << channel << "] no blackbox.xml found: the built-in rules are in use" << std::endl;
        rulesNoteShown = true;
        return;
    }
    const std::string key = channel + '\n' + CDebugLog::foldKey(level, text);
    Seen& s = seen[key];
    if (s.count++ > 0)
        return;
    order.push_back(key);
    s.channel = channel;
    s.opening = opening(oneLine(text));
    s.label = level == CDebugLog::Level::Warn ? "Warn" : "Error";
    out << s.label << ": [" << channel << "] " << oneLine(text) << std::endl;
}

void CConsoleLogPrinter::finish()
{
    for (const std::string& key : order) {
        const Seen& s = seen[key];
        if (s.count > 1)
            out << s.label << ": [" << s.channel << "] " << s.count << " times in all: " << s.opening << std::endl;
    }
    seen.clear();
    order.clear();
    rulesNoteShown = false;
}

std::string CConsoleLogPrinter::oneLine(std::string text)
{
    for (char& c : text)
        if (c == '\n' || c == '\r')
            c = ' ';
    return text;
}
