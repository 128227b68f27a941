// The kill test's child: resumes from the backup in the given data folder and
// then autosaves one generation after another, as fast as it can, until it is
// killed. Usage: backup_autosaver <user data folder with trailing slash>
#include "monitor/blackbox/Blackbox.h"
#include "platform/DurableFiles.h"
#include "platform/headless/FixedSystemInfo.h"
#include "platform/headless/RecordingSoundOutput.h"
#include "report/Report.h"
#include "server/ClientInterface.h"
#include "support/BackupGeneration.h"
#include "support/ScriptedSimulator.h"
#include "ui/Sound.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: backup_autosaver <data folder/>\n");
        return 2;
    }
    FixedSystemInfo info;
    info.dataFolder = argv[1];
    setSystemInfo(&info);
    auto files = createPlatformDurableFiles();
    setDurableFiles(files.get());

    RecordingSoundOutput output;
    CSound sound(output);
    CClientInterface client;
    ScriptedSimulator sim(client);
    sim.holdSnapshot = true;
    CBlackbox blackbox(sound, &sim, client);
    CReport report(&sim, client, &blackbox);
    BackupGeneration flight{client, sim, blackbox, report};

    int n = report.hasContinue() && report.loadBackup() ? flight.loaded() : 0;
    for (;;) {
        flight.fill(++n);
        if (!report.saveBackup(true))
            return 1;
    }
}
