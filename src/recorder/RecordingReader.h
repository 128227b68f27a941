// Reads a flight recording back record by record, checking every length and
// field number: a file cut off mid-record reads up to its last whole record;
// anything else that does not decode is refused with the byte offset where it
// went wrong. Only one record is held at a time, so a file of any size costs
// the memory of its largest record.
#pragma once

#include "recorder/FlightRecording.h"

#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>

class CRecordingReader {
public:
    // Far above any record a flight writes (the start with every airport).
    static constexpr std::size_t kMaxRecordBytes = 32u << 20;

    CRecordingReader();
    ~CRecordingReader();
    CRecordingReader(const CRecordingReader&) = delete;
    CRecordingReader& operator=(const CRecordingReader&) = delete;

    // Opens a regular file and reads its flight start; false with error set
    // when it cannot be read or does not start as a recording.
    bool open(const std::string& path, std::string& error);
    // The same over bytes in memory.
    bool openBytes(std::string_view bytes, std::string& error);
    const Recording::Start& start() const { return flightStart; }

    // The next record; false at the end of the recording, where error() is
    // empty unless a record was damaged.
    bool next(Recording::Entry& entry);
    const std::string& error() const { return damage; }
    // The file ended inside a record (what came before it is whole).
    bool truncated() const { return cut; }
    // Back to the first record after the flight start.
    bool rewind();

    // The whole recording in memory: for small files and tests.
    static bool readFile(const std::string& path, Recording::File& out, std::string& error);
    static bool parse(std::string_view bytes, Recording::File& out, std::string& error);

private:
    enum class Frame { Whole, End, Cut, Damaged };
    bool begin(std::string& error);
    Frame readFrame(std::uint8_t& tag);
    bool readVarint(std::uint64_t& value, bool& ended);
    bool readPayload(std::size_t size);
    static bool readAll(CRecordingReader& reader, Recording::File& out, std::string& error);
    static bool decodeEntry(Recording::Tag tag, std::string_view payload, CSnapshotCodec& codec,
                            Recording::Entry& entry);

    std::unique_ptr<std::istream> in;
    std::string payload; // the record being read
    Recording::Start flightStart;
    CSnapshotCodec codec;
    std::int64_t time = 0;
    std::uint64_t offset = 0;      // of the next byte
    std::uint64_t firstRecord = 0; // the offset after the flight start
    std::string damage;
    bool cut = false;
    bool ended = false;
};
