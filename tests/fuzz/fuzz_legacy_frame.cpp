// Fuzzes the legacy answer frame: any bytes from the service must give a
// result code from the table, rows within their bounds, and lookups that
// never write past the caller's buffer.
#include "server/LegacyFrame.h"
#include "server/LegacyResult.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Kept across inputs: a failed answer must leave the previous rows usable.
    static CLegacyFrame frame;
    bool logRaw = false;
    const int result = frame.parse(std::string_view(reinterpret_cast<const char*>(data), size), logRaw);
    if (result < 0 || result >= static_cast<int>(kLegacyResultTexts.size()))
        std::abort();
    if (frame.header().fields.size() > CLegacyFrame::kMaxFields)
        std::abort();
    for (const CLegacyFrame::Row& row : frame.rows()) {
        if (row.fields.size() > CLegacyFrame::kMaxFields)
            std::abort();
        for (const std::string& f : row.fields) {
            if (f.size() > CLegacyFrame::kMaxLine)
                std::abort();
        }
    }
    char small[9];
    char guard[4] = {'Q', 'V', 'L', '!'};
    for (const std::string& column : frame.header().fields) {
        for (int row = -1; row < 3; ++row) {
            frame.getText(column, row, small);
            if (std::strlen(small) >= sizeof small || std::memcmp(guard, "QVL!", 4) != 0)
                std::abort();
            frame.getInt(column, row);
            frame.getDouble(column, row);
            frame.getFloat(column, row);
        }
    }
    return 0;
}
