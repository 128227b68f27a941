// CRecordingReader: frames, then payloads, each against its own bounds.
#include "monitor/recorder/RecordingReader.h"

#include "core/Utf8Path.h"
#include "monitor/recorder/RecordCoding.h"

#include <cstring>
#include <fstream>
#include <sstream>

namespace {

constexpr std::size_t kMaxText = 4096;
constexpr std::size_t kMaxArguments = 16;

bool knownTag(std::uint8_t tag)
{
    using namespace Recording;
    switch (tag) {
    case TagStart:
    case TagState:
    case TagDraw:
    case TagCheck:
    case TagRead:
    case TagWrite:
    case TagCommand:
    case TagAirports:
    case TagReport:
        return true;
    default:
        return false;
    }
}

} // namespace

bool CRecordingReader::readFile(const std::string& path, Recording::File& out, std::string& error)
{
    std::ifstream in(utf8Path(path), std::ios::binary);
    if (!in) {
        error = "cannot open " + path;
        return false;
    }
    std::string bytes;
    char chunk[65536];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        bytes.append(chunk, static_cast<std::size_t>(in.gcount()));
        if (bytes.size() > kMaxFileBytes) {
            error = path + " is too large for a flight recording";
            return false;
        }
    }
    if (!parse(bytes, out, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

bool CRecordingReader::decodeEntry(Recording::Tag tag, std::string_view payload, CSnapshotCodec& codec,
                                   Recording::Entry& e)
{
    using namespace Recording;
    CByteReader in(payload);
    e.tag = tag;
    e.timeMs += in.signedVarint();
    switch (tag) {
    case TagState:
    case TagRead:
        if (tag == TagRead) {
            e.kind = in.byte();
            e.result = in.signedVarint();
            if (e.kind < ReadEverything || e.kind > ReadUpdate)
                in.fail();
        }
        codec.decode(in, e.changes);
        break;
    case TagDraw:
        e.result = in.signedVarint();
        break;
    case TagWrite: {
        e.kind = in.byte();
        e.result = in.byte();
        const std::uint64_t count = in.varint();
        if (count > kMaxArguments) {
            in.fail();
            break;
        }
        for (std::uint64_t i = 0; i < count && !in.failed(); ++i)
            e.arguments.push_back(in.signedVarint());
        e.text = in.text(kMaxText);
        break;
    }
    case TagCommand:
        e.result = in.signedVarint();
        e.text = in.text(kMaxText);
        break;
    case TagAirports:
        decodeAirports(in, e.airports);
        break;
    case TagReport: {
        e.text = in.text(kMaxText);
        e.kind = in.byte();
        auto report = std::make_shared<Tervix_Reports>();
        decodeBlob(in, report.get(), sizeof *report);
        e.report = std::move(report);
        break;
    }
    default:
        break;
    }
    return !in.failed() && in.atEnd();
}

bool CRecordingReader::parse(std::string_view bytes, Recording::File& out, std::string& error)
{
    using namespace Recording;
    out = File{};
    out.bytes = bytes.size();
    if (bytes.size() < sizeof kMagic || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0) {
        error = "not a flight recording";
        return false;
    }
    CByteReader frames(bytes.substr(sizeof kMagic));
    CSnapshotCodec codec;
    std::int64_t time = 0;
    bool started = false;
    while (!frames.atEnd()) {
        const std::size_t offset = sizeof kMagic + frames.position();
        const std::uint8_t tag = frames.byte();
        if (!knownTag(tag)) {
            error = "damaged record at byte " + std::to_string(offset);
            return false;
        }
        const std::uint64_t size = frames.varint();
        if (frames.failed() || size > frames.remaining()) {
            out.truncated = true; // the flight ended mid-record: keep what is whole
            break;
        }
        const std::string_view payload = frames.take(static_cast<std::size_t>(size));
        if (!started) {
            CByteReader in(payload);
            if (tag != TagStart || !decodeStart(in, out.start) || !in.atEnd()) {
                error = "damaged flight start at byte " + std::to_string(offset);
                return false;
            }
            time = out.start.timeMs;
            started = true;
            continue;
        }
        if (tag == TagStart) {
            error = "second flight start at byte " + std::to_string(offset);
            return false;
        }
        Entry entry;
        entry.timeMs = time;
        if (!decodeEntry(static_cast<Tag>(tag), payload, codec, entry)) {
            error = "damaged record at byte " + std::to_string(offset);
            return false;
        }
        time = entry.timeMs;
        out.entries.push_back(std::move(entry));
    }
    if (!started) {
        error = "the recording ends before the flight start";
        return false;
    }
    return true;
}
