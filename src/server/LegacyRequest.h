// Builds the text of a legacy request: "key=value" pairs joined by "&", values
// inserted as they are, numbers in the C locale whatever the user's locale.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class CLegacyRequest {
public:
    // Starts with "function=<name>".
    explicit CLegacyRequest(std::string_view function);

    CLegacyRequest& text(std::string_view key, std::string_view value);
    // "%d"
    CLegacyRequest& integer(std::string_view key, std::int64_t value);
    // "%f" (and "%lf"): six decimals, no grouping.
    CLegacyRequest& fixed(std::string_view key, double value);

    const std::string& str() const { return body; }
    // The text with "&code=" and its request code appended.
    std::string withCode() const;

    static std::string formatFixed(double value);

private:
    CLegacyRequest& key(std::string_view name);
    std::string body;
};
