// CLegacyFrame: a small state machine over the answer's lines. A frame that
// ends before "DATAEND" keeps the rows of the previous answer, so a cut-off
// answer never leaves half a table behind.
#include "server/LegacyFrame.h"

#include "core/FixedText.h"
#include "server/LeadingNumber.h"
#include "server/LegacyResult.h"

#include <cfloat>

namespace {

std::string_view trimRight(std::string_view line)
{
    while (!line.empty()) {
        const char c = line.back();
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != '\v' && c != '\f')
            break;
        line.remove_suffix(1);
    }
    return line;
}

int statusCode(std::string_view word)
{
    for (std::size_t i = 0; i < kLegacyResultTexts.size(); ++i) {
        if (kLegacyResultTexts[i] == word)
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace

CLegacyFrame::Row CLegacyFrame::splitRow(std::string_view line)
{
    if (line.size() > kMaxLine)
        line = line.substr(0, kMaxLine);
    Row row;
    std::size_t start = 0;
    while (row.fields.size() < kMaxFields) {
        const std::size_t bar = line.find('|', start);
        row.fields.emplace_back(
            line.substr(start, bar == std::string_view::npos ? std::string_view::npos : bar - start));
        if (bar == std::string_view::npos)
            break;
        start = bar + 1;
    }
    return row;
}

int CLegacyFrame::parse(std::string_view response, bool& rawWorthLogging)
{
    enum class State { Before, Status, Header, Rows } state = State::Before;
    Row newHeader;
    std::vector<Row> newRows;
    rawWorthLogging = true;
    std::size_t pos = 0;
    while (pos < response.size()) {
        const std::size_t end = response.find('\n', pos);
        const std::string_view line =
            trimRight(response.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos));
        pos = end == std::string_view::npos ? response.size() : end + 1;
        switch (state) {
        case State::Before:
            if (line == "DATASTART")
                state = State::Status;
            break;
        case State::Status: {
            if (line == "SUCCESS") {
                state = State::Header;
                break;
            }
            const int code = statusCode(line);
            return code >= 0 ? code : LegacyBadData;
        }
        case State::Header:
            if (line == "DATAEND") {
                rawWorthLogging = false;
                return LegacySuccess;
            }
            newHeader = splitRow(line);
            state = State::Rows;
            break;
        case State::Rows:
            if (line == "DATAEND") {
                headerRow = std::move(newHeader);
                dataRows = std::move(newRows);
                rawWorthLogging = false;
                return LegacySuccess;
            }
            newRows.push_back(splitRow(line));
            break;
        }
    }
    return LegacyBadData;
}

void CLegacyFrame::clear()
{
    headerRow.fields.clear();
    dataRows.clear();
}

const std::string* CLegacyFrame::field(std::string_view column, int row) const
{
    if (dataRows.empty() || row < 0 || static_cast<std::size_t>(row) >= dataRows.size())
        return nullptr;
    const std::vector<std::string>& names = headerRow.fields;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == column) {
            const Row& r = dataRows[static_cast<std::size_t>(row)];
            return i < r.fields.size() ? &r.fields[i] : nullptr;
        }
    }
    return nullptr;
}

int CLegacyFrame::getText(std::string_view column, int row, char* destination, std::size_t size) const
{
    if (dataRows.empty() || destination == nullptr || size == 0)
        return -1;
    const std::string* f = field(column, row);
    copyText(destination, size, f != nullptr ? std::string_view(*f) : std::string_view());
    return f != nullptr ? 0 : -1;
}

std::int32_t CLegacyFrame::getInt(std::string_view column, int row) const
{
    const std::string* f = field(column, row);
    return f != nullptr ? leadingInt(*f) : 0;
}

double CLegacyFrame::getDouble(std::string_view column, int row) const
{
    const std::string* f = field(column, row);
    return f != nullptr ? leadingDouble(*f) : 0.0;
}

float CLegacyFrame::getFloat(std::string_view column, int row) const
{
    const double v = getDouble(column, row);
    if (v > FLT_MAX)
        return FLT_MAX;
    if (v < -FLT_MAX)
        return -FLT_MAX;
    return static_cast<float>(v);
}
