// CRegularFile: std::filesystem's view of the path, without opening it.
#include "core/RegularFile.h"

#include "core/Utf8Path.h"

#include <filesystem>
#include <fstream>

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

bool CRegularFile::isRegular(const std::string& path)
{
    std::error_code ec;
    return std::filesystem::is_regular_file(utf8Path(path), ec);
}

bool CRegularFile::absentOrRegular(const std::string& path)
{
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(utf8Path(path), ec);
    return !std::filesystem::exists(status) || std::filesystem::is_regular_file(status);
}

bool CRegularFile::read(const std::string& path, std::uintmax_t maxBytes, std::string& text, std::string& why)
{
    text.clear();
    if (!fits(path, maxBytes, why))
        return false;
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(utf8Path(path), ec);
    std::ifstream in(utf8Path(path), std::ios::binary);
    // One byte more than the size tells a file that grew since the check.
    text.resize(static_cast<std::size_t>(ec ? 0 : size) + 1);
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    if (!in.is_open() || in.bad()) {
        why = "cannot be read";
        return false;
    }
    if (text.size() > size) {
        why = "changed while it was read";
        return false;
    }
    return true;
}
