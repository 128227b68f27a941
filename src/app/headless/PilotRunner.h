// Carries out a pilot script on the headless window as a pilot would: types,
// ticks, selects and clicks only what is shown and enabled, answers message
// boxes, and waits for pages while the client keeps ticking.
#pragma once

#include "app/headless/PilotScript.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

class HeadlessWindow;

class CPilotRunner {
public:
    enum class State { Running, Finished, Failed };

    CPilotRunner(std::vector<PilotCommand> commands, HeadlessWindow& window, std::function<int()> currentPage);

    // Carries out commands until one has to wait or the script ends; the loop
    // calls it on every idle turn. Times come from the process clock.
    State step();
    State state() const { return current; }
    // The failed command and why, when state() is Failed.
    const std::string& failure() const { return why; }

    // Hears each command as it is carried out (the text is masked for password fields).
    std::function<void(const std::string& text)> onCommand;

private:
    // False while the command has to wait.
    bool carryOut(const PilotCommand& command);
    bool waitFor(const PilotCommand& command);
    bool useControl(const PilotCommand& command);
    // Empty when the pilot can reach the control of that kind, else why not.
    std::string unreachable(int id, int kind) const;
    // The command as it may be printed: a password field's text is masked.
    std::string shown(const PilotCommand& command) const;
    void announce(const PilotCommand& command) const;
    void failWith(const PilotCommand& command, const std::string& what);
    // Drops the answers boxes have taken; fails on one whose wait is over.
    void checkAnswers(bool scriptEnded);

    std::vector<PilotCommand> commands;
    HeadlessWindow& window;
    std::function<int()> page;
    std::size_t next = 0;
    std::int64_t deadline = -1; // of the waiting command; -1 when none waits
    struct PendingAnswer {
        std::size_t command;
        std::int64_t deadline;
    };
    std::deque<PendingAnswer> pendingAnswers; // in the window's answer queue, oldest first
    State current = State::Running;
    std::string why;
};
