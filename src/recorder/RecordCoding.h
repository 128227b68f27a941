// The payloads of the recording's records that are more than a few numbers:
// the flight start (booking records, options, rules, airports) and the
// airport list. Records are stored with their runs of zero bytes folded, as
// the fixed-size text fields are mostly empty.
#pragma once

#include "recorder/ByteReader.h"
#include "recorder/ByteWriter.h"
#include "recorder/FlightRecording.h"

namespace Recording {

void encodeBlob(CByteWriter& out, const void* data, std::size_t size);
// False when the stored size differs from size or the runs do not add up.
bool decodeBlob(CByteReader& in, void* data, std::size_t size);

void encodeAirports(CByteWriter& out, const std::vector<Airport>& airports);
bool decodeAirports(CByteReader& in, std::vector<Airport>& airports);

void encodeStart(CByteWriter& out, const Start& start);
bool decodeStart(CByteReader& in, Start& start);

void encodeDouble(CByteWriter& out, double value);
double decodeDouble(CByteReader& in);

} // namespace Recording
