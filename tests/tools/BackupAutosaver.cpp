// The kill test's child: resumes from the backup in the given data folder and
// then autosaves one generation after another, as fast as it can, until it is
// killed. Usage: backup_autosaver <user data folder with trailing slash>
#include "platform/DurableFiles.h"
#include "platform/headless/FixedSystemInfo.h"
#include "support/BackupGeneration.h"
#include "support/StandaloneFlight.h"

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

    StandaloneFlight f;
    BackupGeneration flight{f.client, f.sim, f.blackbox, f.report};
    int n = f.report.hasContinue() && f.report.loadBackup() ? flight.loaded() : 0;
    for (;;) {
        flight.fill(++n);
        if (!f.report.saveBackup(true))
            return 1;
    }
}
