// CRegularFile: std::filesystem's view of the path, without opening it.
#include "core/RegularFile.h"

#include "core/Utf8Path.h"

#include <filesystem>

bool CRegularFile::fits(const std::string& path, std::uintmax_t maxBytes, std::string& why)
{
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(utf8Path(path), ec);
    if (ec || !std::filesystem::exists(status)) {
        why = "missing";
        return false;
    }
    if (!std::filesystem::is_regular_file(status)) {
        why = "not a regular file";
        return false;
    }
    const std::uintmax_t size = std::filesystem::file_size(utf8Path(path), ec);
    if (ec || size > maxBytes) {
        why = "larger than " + std::to_string(maxBytes) + " bytes";
        return false;
    }
    why.clear();
    return true;
}

bool CRegularFile::exists(const std::string& path)
{
    std::error_code ec;
    return std::filesystem::exists(utf8Path(path), ec);
}
