// CPilotScript: strict parsing; numbers are read without the locale.
#include "app/headless/PilotScript.h"

#include "core/RegularFile.h"

#include <charconv>
#include <sstream>
#include <string_view>

namespace {

constexpr std::size_t kMaxScriptBytes = 1 << 20;
constexpr int kLastPage = 19;
constexpr int kLastControlId = 65535;
constexpr double kMaxSeconds = 86400.0;

// Splits off the next blank-separated word; `rest` keeps what follows it.
std::string nextWord(std::string& rest)
{
    const std::size_t start = rest.find_first_not_of(" \t");
    if (start == std::string::npos) {
        rest.clear();
        return {};
    }
    const std::size_t end = rest.find_first_of(" \t", start);
    std::string word = rest.substr(start, end == std::string::npos ? std::string::npos : end - start);
    rest = end == std::string::npos ? std::string() : rest.substr(end + 1);
    return word;
}

bool readInt(const std::string& word, int low, int high, int& value)
{
    const char* end = word.data() + word.size();
    auto [ptr, ec] = std::from_chars(word.data(), end, value);
    return !word.empty() && ec == std::errc() && ptr == end && value >= low && value <= high;
}

bool readSeconds(const std::string& word, double& value)
{
    const char* end = word.data() + word.size();
    auto [ptr, ec] = std::from_chars(word.data(), end, value);
    return !word.empty() && ec == std::errc() && ptr == end && value > 0.0 && value <= kMaxSeconds;
}

// A line as an error message quotes it: an endless line is cut.
std::string quoted(const std::string& line)
{
    constexpr std::size_t kQuoted = 80;
    return line.size() <= kQuoted ? line : line.substr(0, kQuoted) + "...";
}

// "TEXT" in double quotes keeps its blanks; anything else is taken as written.
std::string typedText(const std::string& text)
{
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        return text.substr(1, text.size() - 2);
    return text;
}

std::string trimmed(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    const std::size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

} // namespace

bool CPilotScript::load(const std::string& path)
{
    list.clear();
    std::string text;
    std::string why;
    if (!CRegularFile::read(path, kMaxScriptBytes, text, why)) {
        problem = why.rfind("larger than", 0) == 0 ? "the pilot script " + path + " is larger than 1 MiB"
                                                   : "cannot read the pilot script " + path + " (" + why + ")";
        return false;
    }
    return parse(text);
}

bool CPilotScript::parse(const std::string& text)
{
    list.clear();
    problem.clear();
    // An editor's byte-order mark is not part of the first command.
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    std::istringstream in(text.rfind(kByteOrderMark, 0) == 0 ? text.substr(kByteOrderMark.size()) : text);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.find('\0') != std::string::npos)
            return fail(number, "holds a NUL byte");
        if (!parseLine(trimmed(line), number))
            return false;
    }
    return true;
}

bool CPilotScript::fail(int number, const std::string& what)
{
    problem = "line " + std::to_string(number) + ": " + what;
    list.clear();
    return false;
}

bool CPilotScript::parseLine(const std::string& line, int number)
{
    if (line.empty() || line[0] == '#')
        return true;
    PilotCommand c;
    c.line = number;
    c.source = quoted(line);
    std::string rest = line;
    const std::string verb = nextWord(rest);
    const std::string first = nextWord(rest);
    if (verb == "wait" || verb == "expect") {
        c.kind = verb == "wait" ? PilotCommand::WaitPage : PilotCommand::ExpectPage;
        const std::string page = nextWord(rest);
        if (first != "page" || !readInt(page, 0, kLastPage, c.id))
            return fail(number, verb + " needs 'page N' with N from 0 to 19: " + quoted(line));
        c.seconds = kDefaultWaitSeconds;
        const std::string seconds = nextWord(rest);
        if (c.kind == PilotCommand::WaitPage && !seconds.empty() && !readSeconds(seconds, c.seconds))
            return fail(number, "wait needs a number of seconds above 0 and at most 86400: " + quoted(line));
        if (!trimmed(rest).empty() || (c.kind == PilotCommand::ExpectPage && !seconds.empty()))
            return fail(number, "too many words: " + quoted(line));
    } else if (verb == "type" || verb == "select" || verb == "check" || verb == "press") {
        if (!readInt(first, 0, kLastControlId, c.id))
            return fail(number, verb + " needs a control id from 0 to 65535: " + quoted(line));
        c.text = trimmed(rest);
        if (verb == "type") {
            c.kind = PilotCommand::Type;
            c.text = typedText(c.text);
        } else if (verb == "select") {
            c.kind = PilotCommand::Select;
            if (c.text.empty())
                return fail(number, "select needs the text of an item: " + quoted(line));
        } else if (verb == "check") {
            c.kind = PilotCommand::Check;
            if (c.text != "0" && c.text != "1")
                return fail(number, "check needs 0 or 1: " + quoted(line));
            c.checked = c.text == "1";
        } else {
            c.kind = PilotCommand::Press;
            if (!c.text.empty())
                return fail(number, "too many words: " + quoted(line));
        }
    } else if (verb == "answer") {
        c.kind = PilotCommand::Answer;
        c.text = first;
        c.seconds = kDefaultWaitSeconds;
        const std::string seconds = nextWord(rest);
        if ((first != "ok" && first != "cancel") || !trimmed(rest).empty())
            return fail(number, "answer needs ok or cancel: " + quoted(line));
        if (!seconds.empty() && !readSeconds(seconds, c.seconds))
            return fail(number, "answer needs a number of seconds above 0 and at most 86400: " + quoted(line));
    } else if (verb == "sleep") {
        c.kind = PilotCommand::Sleep;
        if (!readSeconds(first, c.seconds) || !trimmed(rest).empty())
            return fail(number, "sleep needs a number of seconds above 0 and at most 86400: " + quoted(line));
    } else {
        return fail(number, "unknown command '" + quoted(verb) + "'");
    }
    list.push_back(std::move(c));
    return true;
}
