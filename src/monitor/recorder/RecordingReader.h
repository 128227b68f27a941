// Reads a flight recording back, checking every length and field number: a
// file cut off mid-record reads up to its last whole record; anything else
// that does not decode is refused with the byte offset where it went wrong.
#pragma once

#include "monitor/recorder/FlightRecording.h"

#include <string>
#include <string_view>

class CRecordingReader {
public:
    static constexpr std::size_t kMaxFileBytes = 256u << 20;

    // False with error set when the file cannot be read or is damaged.
    static bool readFile(const std::string& path, Recording::File& out, std::string& error);
    static bool parse(std::string_view bytes, Recording::File& out, std::string& error);

private:
    static bool decodeEntry(Recording::Tag tag, std::string_view payload, CSnapshotCodec& codec,
                            Recording::Entry& entry);
};
