// The snapshot's fields as the recording stores them: a fixed table (its
// order is the file format; new fields go at the end) and the coding of the
// fields a read changed. Numbers are stored as the difference from a straight
// line through the field's last two recorded values, so steadily moving values
// (position, time, fuel) take a byte or two per sample. Doubles and floats go
// by their bit patterns, so a replay sees exactly the values the flight saw.
#pragma once

#include "recorder/ByteReader.h"
#include "recorder/ByteWriter.h"
#include "sim/FlightSimulatorObjects.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum class FieldKind : std::uint8_t { Int32, Int16, Double, Float, Flag, Byte, Text };

struct SnapshotField {
    std::string name;
    FieldKind kind;
    std::size_t offset;
    std::size_t size;
};

struct FieldChange {
    std::uint16_t field = 0;
    std::int64_t number = 0; // integer value or bit pattern
    std::string text;
};

class CSnapshotCodec {
public:
    CSnapshotCodec();

    static const std::vector<SnapshotField>& fields();
    // The index of a field by name (tests, analysis); -1 when unknown.
    static int fieldIndex(const std::string& name);

    // The fields that differ between before and after.
    void encodeChanges(CByteWriter& out, const CFlightSimulatorObjects& before, const CFlightSimulatorObjects& after);
    // Every field (the state at the flight start).
    void encodeAll(CByteWriter& out, const CFlightSimulatorObjects& snapshot);
    // False (reader failed) on a bad field number, count or text.
    bool decode(CByteReader& in, std::vector<FieldChange>& out);

    static void apply(CFlightSimulatorObjects& snapshot, const FieldChange& change);
    static bool differ(const CFlightSimulatorObjects& a, const CFlightSimulatorObjects& b);
    static FieldChange read(const CFlightSimulatorObjects& snapshot, std::uint16_t field);
    static double asDouble(const FieldChange& change);

private:
    struct History {
        std::int64_t last = 0;
        std::int64_t beforeLast = 0;
        int count = 0;
    };
    void encodeField(CByteWriter& out, const FieldChange& value);
    bool decodeField(CByteReader& in, FieldChange& value);
    std::int64_t predict(std::uint16_t field) const;
    void remember(std::uint16_t field, std::int64_t value);

    std::vector<History> history;
};
