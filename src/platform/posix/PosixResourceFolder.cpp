// The resource folder, found from the running program's own path.
#include "platform/ResourceFolder.h"

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
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : exe.parent_path();
}

} // namespace

std::string findResourceFolder()
{
    std::vector<std::filesystem::path> candidates;
    if (const char* named = std::getenv("QVL_RESOURCE_DIR"); named && *named)
        candidates.emplace_back(named);
    const std::filesystem::path bin = programFolder();
    if (!bin.empty())
        candidates.push_back(bin.parent_path() / "share" / "quenvale");
#ifdef QVL_BUILD_RESOURCE_DIR
    candidates.emplace_back(QVL_BUILD_RESOURCE_DIR);
#endif
    for (const auto& folder : candidates) {
        if (holdsSkin(folder))
            return folder.string();
    }
    return {};
}
