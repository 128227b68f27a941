// The text frame of the legacy endpoint: "DATASTART", a status word, then a
// header row and data rows of "|"-separated fields up to "DATAEND". Keeps the
// rows of the last answer that carried data and looks fields up by column.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CLegacyFrame {
public:
    static constexpr std::size_t kMaxLine = 32767;
    static constexpr std::size_t kMaxFields = 128;

    struct Row {
        std::vector<std::string> fields;
    };

    // Parses an answer and returns its result code. rawWorthLogging is set when
    // the answer was not a plain success (error word, unknown word, no frame).
    int parse(std::string_view response, bool& rawWorthLogging);

    // Copies the field of column in data row (0 = first) cut to size - 1.
    // Answers -1 when there are no data rows (destination untouched), or the
    // column or row is unknown (destination emptied).
    int getText(std::string_view column, int row, char* destination, std::size_t size) const;
    template <std::size_t N> int getText(std::string_view column, int row, char (&destination)[N]) const
    {
        return getText(column, row, destination, N);
    }
    std::int32_t getInt(std::string_view column, int row) const;
    double getDouble(std::string_view column, int row) const;
    float getFloat(std::string_view column, int row) const;

    // The field, or nullptr when the rows, the column or the row do not exist.
    const std::string* field(std::string_view column, int row) const;

    const Row& header() const { return headerRow; }
    const std::vector<Row>& rows() const { return dataRows; }
    void clear();

    static Row splitRow(std::string_view line);

private:
    Row headerRow;
    std::vector<Row> dataRows;
};
