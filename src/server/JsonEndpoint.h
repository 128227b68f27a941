// The JSON endpoints: GET with the client token as query parameter, POST of a
// JSON body, answers parsed into property trees, and the member readers that
// log what they cannot read.
#pragma once

#include "core/DebugLog.h"

#include <boost/property_tree/ptree.hpp>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class CJsonEndpoint {
public:
    using Tree = boost::property_tree::ptree;
    static constexpr std::size_t kMaxAnswer = 1 << 20;
    static constexpr int kMaxDepth = 64;

    explicit CJsonEndpoint(CDebugLog& ownerLog) : log(ownerLog) {}

    // path + "?QVL-TOKEN-CLIENT=<token>" (or "&..." when path has a query).
    int jsonGet(const std::string& path, const std::string& token, Tree& document);
    // GET of path as it is (the pilot call carries the token in the path).
    int jsonGetPlain(const std::string& path, Tree& document);
    int jsonPost(const std::string& path, const Tree& request, Tree& document);

    static std::string withToken(const std::string& path, const std::string& token);
    // Parses text; on failure error holds the reader's text.
    static bool parse(std::string_view text, Tree& document, std::string& error);
    static std::string write(const Tree& request);

    // Member readers: nullopt and a Warn line with the reader's text when the
    // member is missing or unreadable.
    std::optional<std::string> readText(const Tree& node, const std::string& key);
    std::optional<double> readNumber(const Tree& node, const std::string& key);
    std::optional<std::int32_t> readInteger(const Tree& node, const std::string& key);

private:
    int finish(int transport, const std::string& response, Tree& document);

    CDebugLog& log;
};
