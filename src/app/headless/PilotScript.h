// A pilot script for the headless client: one command a line, checked in full
// before the client starts so a typing error never surfaces mid-flight.
#pragma once

#include <string>
#include <vector>

struct PilotCommand {
    enum Kind { WaitPage, ExpectPage, Type, Check, Select, Press, Answer, Sleep };
    Kind kind = Press;
    int line = 0;         // 1-based line in the script
    int id = 0;           // control id, or the page for WaitPage/ExpectPage
    std::string text;     // Type/Select: the text; Answer: "ok" or "cancel"
    bool checked = false; // Check
    double seconds = 0.0; // WaitPage, Answer: the timeout; Sleep: how long
    std::string source;   // the line as written (cut when very long), for messages
};

class CPilotScript {
public:
    static constexpr double kDefaultWaitSeconds = 60.0;

    // False with `error` naming the line when a line is malformed.
    bool parse(const std::string& text);
    // Reads and parses a file; false with `error` when it cannot be read.
    bool load(const std::string& path);

    const std::vector<PilotCommand>& commands() const { return list; }
    const std::string& error() const { return problem; }

private:
    bool parseLine(const std::string& line, int number);
    bool fail(int number, const std::string& what);

    std::vector<PilotCommand> list;
    std::string problem;
};
