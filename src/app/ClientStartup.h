// The client's start-up sequence, the same for every front-end: one client per
// data folder, the main window with the user interface inside it, the driver,
// and the loop that ticks it whenever the window has nothing else to do.
#pragma once

#include "core/DebugLog.h"

#include <functional>

class Toolkit;
class Window;
class SoundOutput;
class SingleInstance;
class CUserInterface;

class CClientStartup {
public:
    CClientStartup(Toolkit& toolkit, SoundOutput& sound, SingleInstance& instance);

    // The front-end's part: called once the window and the user interface exist,
    // before the user interface builds its controls and loads the options.
    std::function<void(Window&, CUserInterface&)> onReady;
    // Called after every tick; false ends the loop (a finished script, an interrupt).
    std::function<bool()> afterTick;

    // Runs the sequence and the loop until the window closes; the exit status.
    int run();

private:
    // True when this is the only client on the data folder; otherwise tells the pilot.
    bool onlyInstance();
    int runClient();

    Toolkit& toolkit;
    SoundOutput& sound;
    SingleInstance& instance;
    CDebugLog log;
};
