// The window as the program opens it, for tests of the start-up, the login and
// the options: a first-start settings store, a headless window, a recorded
// sound output and a scripted simulator installed before the window is built.
#pragma once

#include "platform/headless/HeadlessWindow.h"
#include "platform/headless/RecordingSoundOutput.h"
#include "support/LogCapture.h"
#include "support/ScriptedSimulator.h"
#include "ui/UserInterface.h"

#include <memory>
#include <string>

struct WindowFixture {
    // Starts from no settings file and nothing in memory.
    WindowFixture();
    ~WindowFixture();

    static void setting(const std::string& section, const std::string& key, const std::string& value);
    // Builds the user interface and runs the window's creation.
    void open();
    int played(const std::string& path) const;

    HeadlessWindow window;
    RecordingSoundOutput sounds;
    LogCapture logs;
    std::unique_ptr<CUserInterface> ui;
    ScriptedSimulator* sim = nullptr;
};
