// CLegacyRequest: std::to_chars keeps numbers free of the locale.
#include "server/LegacyRequest.h"

#include "server/RequestCode.h"

#include <charconv>
#include <cmath>

CLegacyRequest::CLegacyRequest(std::string_view function) : body("function=")
{
    body.append(function);
}

CLegacyRequest& CLegacyRequest::key(std::string_view name)
{
    body += '&';
    body.append(name);
    body += '=';
    return *this;
}

CLegacyRequest& CLegacyRequest::text(std::string_view name, std::string_view value)
{
    key(name);
    body.append(value);
    return *this;
}

CLegacyRequest& CLegacyRequest::integer(std::string_view name, std::int64_t value)
{
    key(name);
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    body.append(buf, r.ptr);
    return *this;
}

CLegacyRequest& CLegacyRequest::fixed(std::string_view name, double value)
{
    key(name);
    body += formatFixed(value);
    return *this;
}

std::string CLegacyRequest::formatFixed(double value)
{
    // printf spells these "nan" / "inf" / "-inf"; to_chars agrees.
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 6);
    if (r.ec != std::errc())
        return "0.000000";
    return std::string(buf, r.ptr);
}

std::string CLegacyRequest::withCode() const
{
    return withRequestCode(body);
}
