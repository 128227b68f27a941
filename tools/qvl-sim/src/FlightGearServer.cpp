// CFlightGearServer: the line protocol, the connections and the faults.
#include "FlightGearServer.h"

#include <vector>

namespace {

constexpr const char* kEnd = "\r\n";
constexpr const char* kPrompt = "/> ";
constexpr const char* kProbe = "/position/latitude-deg";
// A line this long is no request; the connection ends.
constexpr std::size_t kMaxLine = 4096;

// Data mode answers a node that is not there with an empty line, as FlightGear does.
std::string notFound(const std::string& path, bool dataMode)
{
    return dataMode ? std::string(kEnd) : std::string("-ERR \"node '") + path + "' not found\"" + kEnd;
}

} // namespace

bool CFlightGearServer::parseFault(const std::string& t, Fault& f)
{
    if (t == "missing")
        f = Fault::Missing;
    else if (t == "garbage")
        f = Fault::Garbage;
    else if (t == "hangup")
        f = Fault::Hangup;
    else
        return false;
    return true;
}

CFlightGearServer::CFlightGearServer(CFlightGearPropertySpace& properties, std::mutex& modelLock)
    : space(properties), lock(modelLock)
{
}

CFlightGearServer::~CFlightGearServer()
{
    stop();
}

bool CFlightGearServer::start(std::uint16_t port)
{
    if (!listener.open(port))
        return false;
    boundPort = listener.port();
    keepRunning = true;
    thread = std::thread([this] { run(); });
    return true;
}

void CFlightGearServer::stop()
{
    keepRunning = false;
    if (thread.joinable())
        thread.join();
    for (const auto& [c, client] : clients)
        CStreamListener::drop(c);
    clients.clear();
    listener.close();
}

void CFlightGearServer::run()
{
    while (keepRunning) {
        std::vector<CStreamListener::Connection> open;
        for (const auto& entry : clients)
            open.push_back(entry.first);
        listener.wait(open, 5);
        for (CStreamListener::Connection c; (c = listener.accept()) != -1;)
            clients[c] = Client{};
        for (auto it = clients.begin(); it != clients.end();) {
            if (!away && serve(it->first, it->second)) {
                ++it;
                continue;
            }
            CStreamListener::drop(it->first);
            it = clients.erase(it);
        }
    }
}

bool CFlightGearServer::serve(CStreamListener::Connection c, Client& client)
{
    char buffer[8192];
    const long n = CStreamListener::receive(c, buffer, sizeof buffer);
    if (n < 0)
        return false;
    if (n == 0)
        return true;
    client.input.append(buffer, static_cast<std::size_t>(n));
    std::string out;
    const unsigned long batch = ++batches;
    for (std::size_t end; (end = client.input.find('\n')) != std::string::npos;) {
        std::string line = client.input.substr(0, end);
        client.input.erase(0, end + 1);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        out += answer(line, client, batch);
    }
    if (client.input.size() > kMaxLine)
        return false;
    if (fault == Fault::Hangup && batch % 10 == 0) {
        CStreamListener::send(c, out.substr(0, out.size() / 2));
        return false;
    }
    return out.empty() || CStreamListener::send(c, out);
}

std::string CFlightGearServer::answer(const std::string& line, Client& client, unsigned long batch)
{
    const std::string prompt = client.dataMode ? "" : kPrompt;
    if (line == "data") {
        client.dataMode = true;
        return {};
    }
    if (line == "prompt") {
        client.dataMode = false;
        return kPrompt;
    }
    if (line.rfind("get ", 0) == 0) {
        const std::string path = line.substr(4);
        std::string value;
        bool found = false;
        {
            const std::lock_guard<std::mutex> guard(lock);
            found = space.get(path, value);
        }
        if (path == kProbe && batch % 2 == 0) {
            if (fault == Fault::Missing)
                found = false;
            else if (fault == Fault::Garbage)
                value = "north";
        }
        if (!found)
            return notFound(path, client.dataMode) + prompt;
        if (client.dataMode)
            return value + kEnd;
        return path + " = '" + value + "'" + kEnd + prompt;
    }
    if (line.rfind("set ", 0) == 0) {
        const std::size_t space1 = line.find(' ', 4);
        const std::string path = line.substr(4, space1 == std::string::npos ? std::string::npos : space1 - 4);
        const std::string value = space1 == std::string::npos ? "" : line.substr(space1 + 1);
        const std::lock_guard<std::mutex> guard(lock);
        space.set(path, value);
        return prompt;
    }
    if (line.empty())
        return prompt;
    return std::string("-ERR \"unknown command\"") + kEnd + prompt;
}
