// PropertyProtocol: request lines and answer parsing.
#include "sim/flightgear/PropertyProtocol.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace PropertyProtocol {

std::string dataMode()
{
    return std::string("data") + kEnd;
}

std::string get(const std::string& path)
{
    return "get " + path + kEnd;
}

std::string set(const std::string& path, const std::string& value)
{
    return "set " + path + " " + value + kEnd;
}

bool sendable(const std::string& text)
{
    if (text.empty())
        return false;
    for (const char c : text) {
        if (c == '\r' || c == '\n' || c == '\0')
            return false;
    }
    return true;
}

bool takeLines(std::string& buffer, std::vector<std::string>& lines, std::string& error)
{
    std::size_t start = 0;
    for (std::size_t end; (end = buffer.find('\n', start)) != std::string::npos; start = end + 1) {
        std::string line = buffer.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.size() > kMaxLine) {
            error = "an answer line of " + std::to_string(line.size()) + " bytes";
            return false;
        }
        if (line.find('\0') != std::string::npos) {
            error = "a NUL byte in an answer";
            return false;
        }
        lines.push_back(std::move(line));
    }
    buffer.erase(0, start);
    if (buffer.size() > kMaxLine) {
        error = "more than " + std::to_string(kMaxLine) + " bytes without a line end";
        return false;
    }
    return true;
}

std::optional<std::string> value(const std::string& line)
{
    if (line.empty() || line.rfind("-ERR", 0) == 0)
        return std::nullopt;
    return line;
}

std::optional<double> number(const std::string& text)
{
    if (text == "true")
        return 1.0;
    if (text == "false")
        return 0.0;
    if (text.empty() || text.size() > 64)
        return std::nullopt;
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(begin, &end);
    if (end == begin || *end != '\0' || errno == ERANGE || !std::isfinite(v))
        return std::nullopt;
    // strtod also reads hexadecimal and "infinity"; FlightGear writes neither.
    for (const char c : text) {
        if (c == 'x' || c == 'X' || c == 'n' || c == 'N')
            return std::nullopt;
    }
    return v;
}

} // namespace PropertyProtocol
