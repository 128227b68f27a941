// The resource folder on Windows: QVL_RESOURCE_DIR, else the program's own folder.
#include "platform/ResourceFolder.h"

#include "platform/win32/WideText.h"

#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

namespace {

bool holdsSkin(const std::filesystem::path& folder)
{
    std::error_code error;
    return std::filesystem::exists(folder / "skin.png", error);
}

std::filesystem::path programFolder()
{
    wchar_t buffer[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return {};
    return std::filesystem::path(buffer).parent_path();
}

} // namespace

std::string findResourceFolder()
{
    std::vector<std::filesystem::path> candidates;
    if (const char* named = std::getenv("QVL_RESOURCE_DIR"); named && *named)
        candidates.emplace_back(toWide(named));
    if (const std::filesystem::path bin = programFolder(); !bin.empty())
        candidates.push_back(bin);
    for (const auto& folder : candidates) {
        if (holdsSkin(folder))
            return fromWide(folder.wstring());
    }
    return {};
}
