// A form-encoded legacy request as the service sees it: "key=value" pairs in
// order (values taken as they are, the client does not URL-encode), and the
// check of the "&code=" suffix.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

class CServiceForm {
public:
    explicit CServiceForm(const std::string& body);

    // The first value of key, or empty.
    std::string get(const std::string& key) const;
    bool has(const std::string& key) const;
    const std::vector<std::pair<std::string, std::string>>& pairs() const { return fields; }
    std::multimap<std::string, std::string> asMap() const;

    // True when the body ends in "&code=XYZ" and XYZ is the code of the text before it.
    bool codeMatches() const;
    static std::string codeOf(const std::string& text);

private:
    std::string raw;
    std::vector<std::pair<std::string, std::string>> fields;
};
