// The blackbox's rules file "blackbox.xml": the pilot's own in the data
// folder, else the one in the second rules folder. Read, bounded and parsed
// here, so the rules are handed a document and never touch a file.
#pragma once

#include <string>

namespace pugi {
class xml_document;
} // namespace pugi

class CRulesFiles {
public:
    // The second rules folder is taken once, as the blackbox is built.
    explicit CRulesFiles(std::string secondFolder);

    // The first rules file that parses; false when neither does, with why:
    // the reason of a file that is there but broken, else "File was not found".
    bool load(pugi::xml_document& document, std::string& why) const;

    static constexpr const char* kFileName = "blackbox.xml";

private:
    // A bounded regular file that parses; false otherwise, with why empty
    // when the file is missing, else the reason (with the parser's line).
    static bool loadFile(const std::string& path, pugi::xml_document& document, std::string& why);

    std::string secondFolder;
};
