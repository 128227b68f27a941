// FixedSystemInfo: folders are real (tests read the files back).
#include "platform/headless/FixedSystemInfo.h"

#include "core/Utf8Path.h"

#include <filesystem>

bool FixedSystemInfo::createDirectory(const std::string& path)
{
    std::error_code ec;
    std::filesystem::create_directory(utf8Path(path), ec);
    return std::filesystem::is_directory(utf8Path(path), ec);
}
