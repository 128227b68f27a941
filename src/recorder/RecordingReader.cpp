// CRecordingReader: frames, then payloads, each against its own bounds; a
// payload's buffer grows only as its bytes arrive.
#include "recorder/RecordingReader.h"

#include "core/RegularFile.h"
#include "core/Utf8Path.h"
#include "recorder/RecordCoding.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

constexpr std::size_t kMaxText = 4096;
constexpr std::size_t kMaxArguments = 16;
constexpr std::size_t kReadPiece = 64u << 10;

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

CRecordingReader::CRecordingReader() = default;
CRecordingReader::~CRecordingReader() = default;

bool CRecordingReader::open(const std::string& path, std::string& error)
{
    std::string why;
    // A FIFO would block the read for ever; a device would never end.
    if (!CRegularFile::fits(path, static_cast<std::uintmax_t>(-1), why)) {
        error = path + ": " + (why == "missing" ? "cannot open" : why);
        return false;
    }
    auto file = std::make_unique<std::ifstream>(utf8Path(path), std::ios::binary);
    if (!*file) {
        error = path + ": cannot open";
        return false;
    }
    in = std::move(file);
    if (!begin(error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

bool CRecordingReader::openBytes(std::string_view bytes, std::string& error)
{
    in = std::make_unique<std::istringstream>(std::string(bytes), std::ios::binary);
    return begin(error);
}

bool CRecordingReader::begin(std::string& error)
{
    using namespace Recording;
    flightStart = Start{};
    char magic[sizeof kMagic] = {};
    in->read(magic, sizeof magic);
    offset = static_cast<std::uint64_t>(in->gcount());
    if (offset < sizeof kMagic || std::memcmp(magic, kMagic, sizeof kMagic) != 0) {
        error = "not a flight recording";
        return false;
    }
    const std::uint64_t at = offset;
    std::uint8_t tag = 0;
    switch (readFrame(tag)) {
    case Frame::End:
    case Frame::Cut:
        error = "the recording ends before the flight start";
        return false;
    case Frame::Damaged:
        error = damage;
        return false;
    case Frame::Whole:
        break;
    }
    CByteReader start(payload);
    if (tag != TagStart || !decodeStart(start, flightStart) || !start.atEnd()) {
        error = "damaged flight start at byte " + std::to_string(at);
        return false;
    }
    firstRecord = offset;
    return rewind();
}

bool CRecordingReader::rewind()
{
    if (!in)
        return false;
    in->clear();
    in->seekg(static_cast<std::streamoff>(firstRecord));
    offset = firstRecord;
    codec = CSnapshotCodec{};
    time = flightStart.timeMs;
    damage.clear();
    cut = ended = false;
    return static_cast<bool>(*in);
}

bool CRecordingReader::readVarint(std::uint64_t& value, bool& endedInside)
{
    value = 0;
    for (int shift = 0; shift < 64; shift += 7) {
        const int c = in->get();
        if (c == std::char_traits<char>::eof()) {
            endedInside = true;
            return false;
        }
        ++offset;
        value |= static_cast<std::uint64_t>(c & 0x7F) << shift;
        if ((c & 0x80) == 0)
            return true;
    }
    return false; // more than ten bytes: not a number we wrote
}

bool CRecordingReader::readPayload(std::size_t size)
{
    payload.clear();
    while (payload.size() < size) {
        const std::size_t had = payload.size();
        payload.resize(had + std::min(kReadPiece, size - had));
        in->read(payload.data() + had, static_cast<std::streamsize>(payload.size() - had));
        const auto got = static_cast<std::size_t>(in->gcount());
        offset += got;
        if (had + got < payload.size())
            return false;
    }
    return true;
}

CRecordingReader::Frame CRecordingReader::readFrame(std::uint8_t& tag)
{
    const std::uint64_t at = offset;
    const int c = in->get();
    if (c == std::char_traits<char>::eof())
        return Frame::End;
    ++offset;
    tag = static_cast<std::uint8_t>(c);
    std::uint64_t size = 0;
    bool endedInside = false;
    if (!knownTag(tag) || (!readVarint(size, endedInside) && !endedInside) || size > kMaxRecordBytes) {
        damage = "damaged record at byte " + std::to_string(at);
        return Frame::Damaged;
    }
    // The flight ended mid-record: what came before is whole.
    if (endedInside || !readPayload(static_cast<std::size_t>(size)))
        return Frame::Cut;
    return Frame::Whole;
}

bool CRecordingReader::next(Recording::Entry& entry)
{
    using namespace Recording;
    if (!in || ended)
        return false;
    const std::uint64_t at = offset;
    std::uint8_t tag = 0;
    const Frame frame = readFrame(tag);
    if (frame != Frame::Whole) {
        ended = true;
        cut = frame == Frame::Cut;
        return false;
    }
    if (tag == TagStart) {
        damage = "second flight start at byte " + std::to_string(at);
        ended = true;
        return false;
    }
    entry = Entry{};
    entry.timeMs = time;
    if (!decodeEntry(static_cast<Tag>(tag), payload, codec, entry)) {
        damage = "damaged record at byte " + std::to_string(at);
        ended = true;
        return false;
    }
    time = entry.timeMs;
    return true;
}

bool CRecordingReader::readAll(CRecordingReader& reader, Recording::File& out, std::string& error)
{
    out.start = reader.start();
    Recording::Entry entry;
    while (reader.next(entry))
        out.entries.push_back(std::move(entry));
    if (!reader.error().empty()) {
        error = reader.error();
        return false;
    }
    out.truncated = reader.truncated();
    out.bytes = static_cast<std::size_t>(reader.offset);
    return true;
}

bool CRecordingReader::readFile(const std::string& path, Recording::File& out, std::string& error)
{
    out = Recording::File{};
    CRecordingReader reader;
    if (!reader.open(path, error))
        return false;
    if (!readAll(reader, out, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

bool CRecordingReader::parse(std::string_view bytes, Recording::File& out, std::string& error)
{
    out = Recording::File{};
    CRecordingReader reader;
    return reader.openBytes(bytes, error) && readAll(reader, out, error);
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
