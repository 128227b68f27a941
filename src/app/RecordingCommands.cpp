// RecordingCommands: replay on a private user interface, manual clock and
// scratch data folder; landing analysis through CLandingReport.
#include "app/RecordingCommands.h"

#include "app/ExitCodes.h"
#include "client/FlightReplay.h"
#include "core/ClientConfig.h"
#include "core/FixedText.h"
#include "core/Utf8Path.h"
#include "platform/SystemInfo.h"
#include "platform/headless/FixedSystemInfo.h"
#include "platform/headless/HeadlessWindow.h"
#include "platform/headless/ManualClock.h"
#include "platform/headless/RecordingSoundOutput.h"
#include "recorder/LandingReport.h"
#include "recorder/RecordingReader.h"
#include "report/ReportFields.h"
#include "ui/UserInterface.h"

#include <chrono>
#include <filesystem>
#include <ostream>
#include <random>

namespace fs = std::filesystem;

namespace RecordingCommands {

namespace {

// The replay's settings, store and logs live in a folder of their own, so a
// replayed report never mixes with the pilot's.
class ScratchFolder {
public:
    // The system is described as the flight's was: the report names it.
    explicit ScratchFolder(const std::string& osName)
    {
        std::random_device seed;
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        path = fs::temp_directory_path() / ("quenvale-replay-" + std::to_string(stamp) + "-" + std::to_string(seed()));
        fs::create_directories(path);
        info.dataFolder = utf8Text(path) + "/";
        info.os = osName;
        setSystemInfo(&info);
        CClientConfig::useDataFolder(utf8Text(path));
    }
    ~ScratchFolder()
    {
        setSystemInfo(nullptr);
        std::error_code ec;
        fs::remove_all(path, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

private:
    fs::path path;
    FixedSystemInfo info;
};

void printItems(const ReplayOutcome& outcome, std::ostream& out)
{
    out << "items:";
    for (int item : outcome.items)
        out << " " << item;
    out << "\n";
}

int compareWithRecorded(const ReplayOutcome& outcome, std::int32_t airline, std::ostream& out)
{
    if (!outcome.recordedReport) {
        out << "The recording ends before the report was finished: nothing to compare with.\n";
        return ExitOk;
    }
    const auto replayed = ReportFields::uploaded(outcome.report, airline);
    const auto recorded = ReportFields::uploaded(outcome.recorded, airline);
    int differences = 0;
    for (std::size_t i = 0; i < replayed.size(); ++i) {
        // The time stamp is the service's answer at the end of the flight.
        if (replayed[i].first == "TS")
            continue;
        if (replayed[i].second != recorded[i].second) {
            out << "differs: " << replayed[i].first << " replayed '" << replayed[i].second << "', flight '"
                << recorded[i].second << "'\n";
            ++differences;
        }
    }
    if (differences == 0) {
        out << "The replayed report equals the flight's own, field by field.\n";
        return ExitOk;
    }
    return ExitReplayDiffers;
}

// Reads the whole file once, so a damaged one is refused before anything is
// replayed; false with the reason in error.
bool checkWhole(CRecordingReader& reader, const std::string& file, std::size_t& records, std::string& error)
{
    Recording::Entry entry;
    while (reader.next(entry))
        ++records;
    if (!reader.error().empty()) {
        error = file + ": " + reader.error();
        return false;
    }
    return true;
}

} // namespace

int replay(const std::string& file, std::ostream& out, std::ostream& err)
{
    CRecordingReader recording;
    std::string error;
    std::size_t records = 0;
    if (!recording.open(file, error) || !checkWhole(recording, file, records, error)) {
        err << error << "\n";
        return ExitBadRecording;
    }
    if (recording.truncated())
        out << "The recording ends inside a record; replaying up to its last whole record.\n";
    recording.rewind();
    ScratchFolder scratch(recording.start().osName);
    ScopedManualClock clock(recording.start().timeMs);
    HeadlessWindow window;
    RecordingSoundOutput sound;
    CUserInterface ui(window, sound);
    ui.createControls();
    CFlightReplay replayer(ui, [&](std::int64_t ms) { clock->set(ms); });
    const ReplayOutcome outcome = replayer.run(recording);
    out << "Replayed flight " << fieldText(recording.start().flightLog.l_ID) << ": " << records << " records, "
        << outcome.writesMatched << " simulator writes as recorded, " << outcome.writesUnmatched << " not\n";
    if (outcome.divergences > 0)
        out << "The replay took another path than the flight " << outcome.divergences
            << " times; first: " << outcome.firstDivergence << "\n";
    for (const auto& [name, value] : ReportFields::uploaded(outcome.report, recording.start().aircraft.ac_va_id))
        out << name << "=" << value << "\n";
    printItems(outcome, out);
    return compareWithRecorded(outcome, recording.start().aircraft.ac_va_id, out);
}

int landing(const std::string& file, std::ostream& out, std::ostream& err)
{
    std::string error;
    std::string figures;
    const auto written = CLandingReport::writeFor(file, error, figures);
    if (written.empty() && !error.empty()) {
        err << error << "\n";
        return ExitBadRecording;
    }
    out << figures;
    for (const std::string& path : written)
        out << "wrote " << path << "\n";
    if (!error.empty()) {
        err << error << "\n";
        return ExitStartFailed;
    }
    return ExitOk;
}

} // namespace RecordingCommands
