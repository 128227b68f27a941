// The report with everything it reaches, without a user interface: a server
// client, a scripted simulator holding its snapshot, a blackbox with a
// silent sound player. For programs and tests that only back up, restore and
// upload a flight.
#pragma once

#include "monitor/blackbox/Blackbox.h"
#include "platform/headless/RecordingSoundOutput.h"
#include "report/Report.h"
#include "server/ClientInterface.h"
#include "support/ScriptedSimulator.h"
#include "ui/Sound.h"

struct StandaloneFlight {
    StandaloneFlight() { sim.holdSnapshot = true; }

    RecordingSoundOutput output;
    CSound sound{output};
    CClientInterface client;
    ScriptedSimulator sim{client};
    CBlackbox blackbox{sound, &sim, client};
    CReport report{&sim, client, &blackbox.getFlightEvents()};
};
