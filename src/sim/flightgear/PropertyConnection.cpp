// PropertyConnection: the batched round trip over the stream seam.
#include "sim/flightgear/PropertyConnection.h"

#include "platform/Clock.h"
#include "sim/flightgear/PropertyProtocol.h"

namespace Props = PropertyProtocol;

namespace {
constexpr int kMaxStaleReads = 64;
}

bool PropertyConnection::open(const std::string& host, std::uint16_t port, int waitMs, std::string& error)
{
    close();
    stream = tcpNetwork().connect(host, port, waitMs, error);
    if (!stream)
        return false;
    if (!stream->sendAll(Props::dataMode()))
        return fail(error, "the property server refused the data mode");
    return true;
}

void PropertyConnection::close()
{
    stream.reset();
    pending.clear();
}

bool PropertyConnection::fail(std::string& error, const std::string& why)
{
    error = why;
    close();
    return false;
}

bool PropertyConnection::getAll(const std::vector<std::string>& paths,
                                std::vector<std::optional<std::string>>& answers, int waitMs, std::string& error)
{
    if (!stream)
        return fail(error, "not connected");
    std::string request;
    for (const std::string& path : paths) {
        if (!Props::sendable(path) || path.find(' ') != std::string::npos)
            return fail(error, "the property name \"" + path + "\" cannot be sent");
        request += Props::get(path);
    }
    // Whatever came since the last batch answers nothing asked now.
    pending.clear();
    char buffer[8192];
    for (int stale = 0; stream->receive(buffer, sizeof buffer, 0) > 0; ++stale) {
        if (stale == kMaxStaleReads)
            return fail(error, "the property server talks without being asked");
    }
    if (!stream->sendAll(request))
        return fail(error, "the property server closed the connection");
    std::vector<std::string> lines;
    const std::int64_t until = processClock().nowMs() + waitMs;
    while (lines.size() < paths.size()) {
        const std::int64_t left = until - processClock().nowMs();
        const long n = left > 0 ? stream->receive(buffer, sizeof buffer, static_cast<int>(left)) : 0;
        if (n < 0)
            return fail(error, "the property server closed the connection");
        if (n == 0)
            return fail(error, std::to_string(lines.size()) + " of " + std::to_string(paths.size()) +
                                   " answers within " + std::to_string(waitMs) + " ms");
        pending.append(buffer, static_cast<std::size_t>(n));
        if (!Props::takeLines(pending, lines, error))
            return fail(error, error);
    }
    if (lines.size() > paths.size() || !pending.empty())
        return fail(error, "more answers than questions");
    answers.clear();
    for (const std::string& line : lines)
        answers.push_back(Props::value(line));
    return true;
}

bool PropertyConnection::set(const std::string& path, const std::string& value)
{
    if (!stream || !Props::sendable(path) || path.find(' ') != std::string::npos || !Props::sendable(value))
        return false;
    return stream->sendAll(Props::set(path, value));
}
