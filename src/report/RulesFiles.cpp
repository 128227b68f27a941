// CRulesFiles: finding, reading and parsing the rules file.
#include "report/RulesFiles.h"

#include "core/ClientConfig.h"
#include "core/RegularFile.h"

#include <algorithm>
#include <iterator>
#include <pugixml.hpp>

namespace {
// Far above any real rules file; a larger one would cost the flight its ticks.
constexpr std::uintmax_t kMaxRulesBytes = 4u << 20;
constexpr std::size_t kMaxRules = 10000;
} // namespace

CRulesFiles::CRulesFiles(std::string folder) : secondFolder(std::move(folder)) {}

bool CRulesFiles::load(pugi::xml_document& document, std::string& why) const
{
    // A file that is there but broken is the reason to tell, not the missing
    // second one after it.
    std::string firstWhy;
    if (loadFile(CClientConfig::getInstance().getDataFolder() + kFileName, document, firstWhy) ||
        loadFile(secondFolder + kFileName, document, why))
        return true;
    why = !firstWhy.empty() ? firstWhy : !why.empty() ? why : "File was not found";
    return false;
}

bool CRulesFiles::loadFile(const std::string& path, pugi::xml_document& document, std::string& why)
{
    std::string text;
    if (!CRegularFile::read(path, kMaxRulesBytes, text, why)) {
        if (why == "missing")
            why.clear();
        else
            why = path + " " + why;
        return false;
    }
    document.reset();
    const pugi::xml_parse_result result = document.load_buffer(text.data(), text.size());
    if (!result) {
        const auto end =
            text.begin() + std::min<std::ptrdiff_t>(result.offset, static_cast<std::ptrdiff_t>(text.size()));
        const long line = 1 + std::count(text.begin(), end, '\n');
        why = std::string(result.description()) + " at line " + std::to_string(line) + " of " + path;
        return false;
    }
    const pugi::xml_node root = document.child("blackbox");
    if (static_cast<std::size_t>(std::distance(root.begin(), root.end())) > kMaxRules) {
        why = path + " has more than " + std::to_string(kMaxRules) + " rules";
        return false;
    }
    return true;
}
