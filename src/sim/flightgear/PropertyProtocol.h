// FlightGear's property server protocol in its data mode: the request lines
// the bridge sends (get, set) and the reading of the answer lines,
// one per get, empty (or "-ERR ...") for a node FlightGear does not have. Pure text in
// and out, so the parser can be fed anything.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace PropertyProtocol {

// The server's answers end in CR LF; a lone LF is taken too.
constexpr const char* kEnd = "\r\n";
// An answer line longer than this is not FlightGear's.
constexpr std::size_t kMaxLine = 4096;

// The request that switches the connection to bare values.
std::string dataMode();
std::string get(const std::string& path);
std::string set(const std::string& path, const std::string& value);
// A path or value with a line end or a space where none belongs cannot be sent.
bool sendable(const std::string& text);

// Cuts complete lines off the front of `buffer`; false (with the reason) when
// a line is longer than kMaxLine or holds a byte no property value has.
bool takeLines(std::string& buffer, std::vector<std::string>& lines, std::string& error);

// An answer to get: the value, or nothing for an empty line or "-ERR" (no such node).
std::optional<std::string> value(const std::string& line);

// A number from a value: decimals, exponents, "true" and "false"; nothing
// for anything else (empty, "nan", "inf", trailing text).
std::optional<double> number(const std::string& value);

} // namespace PropertyProtocol
