// CFlightRecorder: the file of one flight. Every record is a tag byte, the
// payload's length as a varint and the payload, which starts with the time
// since the previous record in milliseconds; a kill mid-record leaves a file
// that reads up to its last whole record.
#include "recorder/FlightRecorder.h"

#include "core/CivilTime.h"
#include "core/ClientConfig.h"
#include "core/Utf8Path.h"
#include "platform/Clock.h"
#include "platform/DurableFiles.h"
#include "recorder/LandingReport.h"
#include "recorder/RecordCoding.h"

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

std::string safeName(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-' || c == '_')
            out += c;
    }
    return out.empty() ? "unbooked" : out.substr(0, 40);
}

} // namespace

CFlightRecorder::CFlightRecorder() : log("CFlightRecorder") {}

CFlightRecorder::~CFlightRecorder()
{
    finish(false);
}

std::string CFlightRecorder::folder()
{
    return CClientConfig::getInstance().getDataFolder() + "recordings/";
}

std::string CFlightRecorder::fileNameFor(const std::string& flightLogId, std::int64_t utcMs)
{
    const CivilTime t = CivilTime::fromEpochSeconds(utcMs / 1000);
    return "flight-" + safeName(flightLogId) + "-" + t.format("%Y-%m-%d_%H%M%S") + Recording::kExtension;
}

void CFlightRecorder::prune(const std::string& dir, int keep)
{
    std::error_code ec;
    std::vector<std::pair<fs::file_time_type, fs::path>> found;
    for (fs::directory_iterator it(utf8Path(dir), ec), end; !ec && it != end; it.increment(ec)) {
        if (it->path().extension() == Recording::kExtension)
            found.emplace_back(it->last_write_time(ec), it->path());
    }
    if (static_cast<int>(found.size()) <= keep)
        return;
    std::sort(found.begin(), found.end());
    for (std::size_t i = 0; i + static_cast<std::size_t>(keep) < found.size(); ++i) {
        const fs::path& recording = found[i].second;
        for (const std::string& sibling : CLandingReport::analysisFiles(utf8Text(recording)))
            fs::remove(utf8Path(sibling), ec);
        fs::remove(recording, ec);
    }
}

bool CFlightRecorder::begin(const Recording::Start& start, const CFlightSimulatorObjects& snapshot,
                            const std::string& flightLogId, int keep)
{
    finish(false);
    const std::string dir = folder();
    std::error_code ec;
    fs::create_directories(utf8Path(dir), ec);
    prune(dir, std::max(keep, 1) - 1);
    filePath = dir + fileNameFor(flightLogId, start.timeMs);
    file = durableFiles().create(filePath);
    if (!file) {
        // A folder that could not be made is the cause, else what the system said.
        const std::string cause =
            ec ? "cannot create the folder " + dir + ": " + ec.message() : durableFiles().lastError();
        log.errorf("Cannot create the flight recording %s: %s", filePath.c_str(),
                   cause.empty() ? "unknown cause" : cause.c_str());
        filePath.clear();
        return false;
    }
    failed = false;
    stateWritten = false;
    codec = CSnapshotCodec();
    pending.clear();
    pending.raw(Recording::kMagic, sizeof Recording::kMagic);
    lastTime = start.timeMs;
    lastFlush = start.timeMs;
    CByteWriter payload;
    Recording::encodeStart(payload, start);
    frame(Recording::TagStart, payload);
    CByteWriter state = timed();
    codec.encodeAll(state, snapshot);
    frame(Recording::TagState, state);
    flush(true);
    log.debug("Recording the flight to " + filePath);
    return true;
}

CByteWriter CFlightRecorder::timed()
{
    CByteWriter payload;
    const std::int64_t now = processClock().nowMs();
    payload.signedVarint(now - lastTime);
    lastTime = now;
    return payload;
}

void CFlightRecorder::frame(Recording::Tag tag, const CByteWriter& payload)
{
    pending.byte(tag);
    pending.varint(payload.size());
    pending.raw(payload.data().data(), payload.size());
    flush(false);
}

void CFlightRecorder::flush(bool force)
{
    if (!file || pending.size() == 0)
        return;
    if (!force && lastTime - lastFlush < kFlushIntervalMs)
        return;
    lastFlush = lastTime;
    if (!failed && !file->write(pending.data().data(), pending.size())) {
        // The flight goes on; only its recording stops.
        log.error("Writing the flight recording failed (" + durableFiles().lastError() +
                  "); the rest of the flight is not recorded");
        failed = true;
    }
    pending.clear();
}

void CFlightRecorder::draw(std::int64_t value)
{
    if (!file)
        return;
    CByteWriter payload = timed();
    payload.signedVarint(value);
    frame(Recording::TagDraw, payload);
}

void CFlightRecorder::check(const CFlightSimulatorObjects& snapshot)
{
    if (!file)
        return;
    if (!stateWritten) {
        CByteWriter state = timed();
        codec.encodeAll(state, snapshot);
        frame(Recording::TagState, state);
        stateWritten = true;
    }
    frame(Recording::TagCheck, timed());
}

void CFlightRecorder::read(Recording::ReadKind kind, std::int64_t result, const CFlightSimulatorObjects& before,
                           const CFlightSimulatorObjects& after)
{
    if (!file)
        return;
    CByteWriter payload = timed();
    payload.byte(kind);
    payload.signedVarint(result);
    codec.encodeChanges(payload, before, after);
    frame(Recording::TagRead, payload);
}

void CFlightRecorder::write(Recording::WriteKind kind, const std::vector<std::int64_t>& arguments,
                            const std::string& text, bool result)
{
    if (!file)
        return;
    CByteWriter payload = timed();
    payload.byte(kind);
    payload.byte(result ? 1 : 0);
    payload.varint(arguments.size());
    for (std::int64_t a : arguments)
        payload.signedVarint(a);
    payload.text(text);
    frame(Recording::TagWrite, payload);
}

void CFlightRecorder::command(int id, const std::string& divertAirport)
{
    if (!file)
        return;
    CByteWriter payload = timed();
    payload.signedVarint(id);
    payload.text(divertAirport);
    frame(Recording::TagCommand, payload);
}

void CFlightRecorder::airports(const std::vector<Recording::Airport>& list)
{
    if (!file)
        return;
    CByteWriter payload = timed();
    Recording::encodeAirports(payload, list);
    frame(Recording::TagAirports, payload);
}

void CFlightRecorder::reportFinished(const Tervix_Reports& report, const std::string& comment, bool deliverAll)
{
    if (!file)
        return;
    CByteWriter payload = timed();
    payload.text(comment);
    payload.byte(deliverAll ? 1 : 0);
    Recording::encodeBlob(payload, &report, sizeof report);
    frame(Recording::TagReport, payload);
}

std::vector<std::string> CFlightRecorder::finish(bool analyse)
{
    if (!file)
        return {};
    flush(true);
    file->flushToDisk();
    file->close();
    file.reset();
    std::vector<std::string> written{filePath};
    if (analyse) {
        std::string error;
        const std::vector<std::string> analysis = CLandingReport::writeFor(filePath, error);
        if (!error.empty())
            log.warn("Landing analysis: " + error);
        written.insert(written.end(), analysis.begin(), analysis.end());
    }
    return written;
}
