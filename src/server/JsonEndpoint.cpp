// CJsonEndpoint: property_tree's reader behind a depth check, since its
// recursive parser would overflow the stack on deeply nested input.
#include "server/JsonEndpoint.h"

#include "server/HttpTransport.h"
#include "server/LeadingNumber.h"

#include <boost/property_tree/json_parser.hpp>

#include <charconv>
#include <sstream>

namespace {

// Deepest nesting of brackets outside strings; stops counting past limit.
int nestingDepth(std::string_view text, int limit)
{
    int depth = 0;
    int deepest = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size() && deepest <= limit; ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '{' || c == '[') {
            deepest = std::max(deepest, ++depth);
        } else if (c == '}' || c == ']') {
            --depth;
        }
    }
    return deepest;
}

bool wholeNumber(std::string_view s, double& value)
{
    if (s.empty())
        return false;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), value);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

} // namespace

std::string CJsonEndpoint::withToken(const std::string& path, const std::string& token)
{
    return path + (path.find('?') == std::string::npos ? "?" : "&") + "QVL-TOKEN-CLIENT=" + token;
}

bool CJsonEndpoint::parse(std::string_view text, Tree& document, std::string& error)
{
    document.clear();
    if (nestingDepth(text, kMaxDepth) > kMaxDepth) {
        error = "nesting deeper than " + std::to_string(kMaxDepth);
        return false;
    }
    try {
        std::istringstream in{std::string(text)};
        boost::property_tree::read_json(in, document);
        return true;
    } catch (const boost::property_tree::json_parser_error& e) {
        error = e.what();
    } catch (const std::exception& e) {
        error = e.what();
    }
    document.clear();
    return false;
}

std::string CJsonEndpoint::write(const Tree& request)
{
    std::ostringstream out;
    boost::property_tree::write_json(out, request, false);
    std::string text = out.str();
    while (!text.empty() && text.back() == '\n')
        text.pop_back();
    return text;
}

int CJsonEndpoint::finish(int transport, const std::string& response, Tree& document)
{
    std::string error;
    if (parse(response, document, error))
        return transport;
    log.warnf("JSON answer unreadable: %s", error.c_str());
    log.warnf("%s", response.c_str());
    return -1;
}

int CJsonEndpoint::jsonGet(const std::string& path, const std::string& token, Tree& document)
{
    return jsonGetPlain(withToken(path, token), document);
}

int CJsonEndpoint::jsonGetPlain(const std::string& path, Tree& document)
{
    std::string response;
    const int transport = CHttpTransport::httpRequest(kMaxAnswer, path, nullptr, response);
    return finish(transport, response, document);
}

int CJsonEndpoint::jsonPost(const std::string& path, const Tree& request, Tree& document)
{
    std::string response;
    const std::string body = write(request);
    const int transport = CHttpTransport::httpRequest(kMaxAnswer, path, body.c_str(), response);
    return finish(transport, response, document);
}

std::optional<std::string> CJsonEndpoint::readText(const Tree& node, const std::string& key)
{
    const auto child = node.get_child_optional(Tree::path_type(key, '\0'));
    if (!child) {
        log.warnf("No such node (%s)", key.c_str());
        return std::nullopt;
    }
    if (!child->empty()) {
        log.warnf("conversion of data to type \"string\" failed (%s)", key.c_str());
        return std::nullopt;
    }
    return child->data();
}

std::optional<double> CJsonEndpoint::readNumber(const Tree& node, const std::string& key)
{
    const std::optional<std::string> text = readText(node, key);
    if (!text)
        return std::nullopt;
    double value = 0.0;
    if (!wholeNumber(*text, value)) {
        log.warnf("conversion of data to type \"double\" failed (%s: %.40s)", key.c_str(), text->c_str());
        return std::nullopt;
    }
    return value;
}

std::optional<std::int32_t> CJsonEndpoint::readInteger(const Tree& node, const std::string& key)
{
    const std::optional<std::string> text = readText(node, key);
    if (!text)
        return std::nullopt;
    if (!isDecimalInteger(*text)) {
        log.warnf("conversion of data to type \"int\" failed (%s: %.40s)", key.c_str(), text->c_str());
        return std::nullopt;
    }
    return leadingInt(*text);
}
