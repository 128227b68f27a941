// The report kill test's child: flies a short flight against the service
// (three queued positions, two events), autosaves it and uploads the report,
// as the client does at the end of a flight, until it is killed.
// Usage: report_uploader <user data folder with trailing slash> <service url> <CA file>
#include "platform/DurableFiles.h"
#include "platform/HttpClient.h"
#include "platform/headless/FixedSystemInfo.h"
#include "server/HttpTransport.h"
#include "server/LegacyResult.h"
#include "support/StandaloneFlight.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: report_uploader <data folder/> <service url> <CA file>\n");
        return 2;
    }
    FixedSystemInfo info;
    info.dataFolder = argv[1];
    setSystemInfo(&info);
    auto files = createPlatformDurableFiles();
    setDurableFiles(files.get());
    auto http = createPlatformHttpClient();
    setHttpClient(http.get());
    CTransportOptions options;
    options.caFile = argv[3];
    CHttpTransport::setOptions(options);

    StandaloneFlight f;
    f.client.setServerUrl(argv[2]);
    if (f.client.login("demo", "demo123") != 0 || f.client.getPilotData() < 0 || f.client.getRoute() != LegacySuccess)
        return 1;
    f.report.setTrackerEnabled(false);
    for (int i = 0; i < 3; ++i) {
        f.sim.dFlightTime += 180.0;
        f.sim.dLatitude = 50.0 - 0.5 * i;
        f.sim.dLongitude = 8.6 + 0.5 * i;
        f.report.recordPosition();
    }
    f.blackbox.logEvent("Gear up", "");
    f.blackbox.logEvent("Gear down", "");
    if (!f.report.saveBackup(true))
        return 1;
    f.report.evaluateFlight();
    return f.report.uploadReport(false) ? 0 : 1;
}
