// CXPlaneServer: the stand-in's own coding of X-Plane's messages (little-endian,
// RREF 413 bytes, DREF 509 bytes, CMND text, BECN), the answer clock and the faults.
#include "XPlaneServer.h"

#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

constexpr std::size_t kHeader = 5;
constexpr std::size_t kRrefRequest = 413;
constexpr std::size_t kDref = 509;
// X-Plane puts at most this many values into one answer.
constexpr std::size_t kPairsPerAnswer = 183;
constexpr double kRestartEveryMs = 10000.0;
const DatagramPeer kBeaconGroup{0xEFFF0101, 49707};

double nowMs()
{
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

std::uint32_t u32(const std::uint8_t* p)
{
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void putFloat(std::vector<std::uint8_t>& out, float v)
{
    std::uint32_t bits = 0;
    std::memcpy(&bits, &v, 4);
    put32(out, bits);
}

std::string text(const std::uint8_t* p, std::size_t size)
{
    const char* c = reinterpret_cast<const char*>(p);
    return std::string(c, strnlen(c, size));
}

std::vector<std::uint8_t> header(const char* kind)
{
    std::vector<std::uint8_t> out(kind, kind + 4);
    out.push_back(static_cast<std::uint8_t>(','));
    return out;
}

} // namespace

bool CXPlaneServer::parseFault(const std::string& t, Fault& f)
{
    static const std::map<std::string, Fault> names = {
        {"malformed", Fault::Malformed}, {"truncated", Fault::Truncated}, {"lose", Fault::Lose},
        {"reorder", Fault::Reorder},     {"silent", Fault::Silent},       {"restart", Fault::Restart}};
    const auto it = names.find(t);
    if (it == names.end())
        return false;
    f = it->second;
    return true;
}

CXPlaneServer::CXPlaneServer(CXPlaneDatarefSpace& s, std::mutex& modelLock) : space(s), lock(modelLock) {}

CXPlaneServer::~CXPlaneServer()
{
    stop();
}

bool CXPlaneServer::start(std::uint16_t port, bool beacon)
{
    stop();
    if (!socket.open(port))
        return false;
    boundPort = socket.port();
    beaconOn = beacon;
    keepRunning = true;
    thread = std::thread([this] { run(); });
    return true;
}

void CXPlaneServer::stop()
{
    keepRunning = false;
    if (thread.joinable())
        thread.join();
    socket.close();
}

void CXPlaneServer::setAway(bool gone)
{
    away = gone;
}

void CXPlaneServer::run()
{
    std::vector<std::uint8_t> buffer(65536);
    double nextBeacon = 0.0, nextRestart = nowMs() + kRestartEveryMs;
    bool wasAway = false;
    while (keepRunning) {
        DatagramPeer from;
        const long n = socket.receive(buffer.data(), buffer.size(), from, 5);
        const double now = nowMs();
        if (away) {
            wasAway = true;
            continue; // a simulator that is not running hears nothing
        }
        if (wasAway || (fault == Fault::Restart && now >= nextRestart)) {
            subscriptions.clear(); // it comes back without them
            wasAway = false;
            nextRestart = now + kRestartEveryMs;
        }
        if (n > 0)
            handle(buffer.data(), n, from);
        answerDue(now);
        if (beaconOn && now >= nextBeacon) {
            sendBeacon();
            nextBeacon = now + 1000.0;
        }
    }
}

void CXPlaneServer::handle(const std::uint8_t* data, long size, const DatagramPeer& from)
{
    if (size < static_cast<long>(kHeader))
        return;
    const std::string kind(reinterpret_cast<const char*>(data), 4);
    if (kind == "RREF" && size == static_cast<long>(kRrefRequest)) {
        const std::int32_t perSecond = static_cast<std::int32_t>(u32(data + 5));
        const std::int32_t index = static_cast<std::int32_t>(u32(data + 9));
        auto& mine = subscriptions[from];
        if (perSecond <= 0)
            mine.erase(index);
        else
            mine[index] = Subscription{text(data + 13, 400), perSecond, 0.0};
    } else if (kind == "DREF" && size == static_cast<long>(kDref)) {
        float value = 0.0f;
        const std::uint32_t bits = u32(data + 5);
        std::memcpy(&value, &bits, 4);
        std::lock_guard<std::mutex> guard(lock);
        space.write(text(data + 9, 500), value);
    } else if (kind == "CMND") {
        std::lock_guard<std::mutex> guard(lock);
        space.command(text(data + kHeader, static_cast<std::size_t>(size) - kHeader));
    }
}

void CXPlaneServer::answerDue(double now)
{
    for (auto& [peer, subs] : subscriptions) {
        std::vector<std::pair<std::int32_t, float>> due;
        {
            std::lock_guard<std::mutex> guard(lock);
            for (auto& [index, sub] : subs) {
                if (now < sub.nextDue)
                    continue;
                const double period = 1000.0 / sub.perSecond;
                sub.nextDue = sub.nextDue + period > now ? sub.nextDue + period : now + period;
                float value = 0.0f;
                // Like X-Plane, a dataref it does not know is answered with 0.
                if (!space.read(sub.dataref, value))
                    value = 0.0f;
                due.emplace_back(index, value);
            }
        }
        for (std::size_t at = 0; at < due.size(); at += kPairsPerAnswer) {
            std::vector<std::uint8_t> packet = header("RREF");
            for (std::size_t i = at; i < due.size() && i < at + kPairsPerAnswer; ++i) {
                put32(packet, static_cast<std::uint32_t>(due[i].first));
                putFloat(packet, due[i].second);
            }
            sendAnswer(peer, std::move(packet));
        }
    }
}

void CXPlaneServer::sendAnswer(const DatagramPeer& to, std::vector<std::uint8_t> packet)
{
    ++answers;
    const bool odd = faultDice() % 2 == 1;
    switch (fault.load()) {
    case Fault::Silent:
        return;
    case Fault::Lose:
        if (odd)
            return;
        break;
    case Fault::Truncated:
        if (odd)
            packet.resize(packet.size() - 3);
        break;
    case Fault::Malformed:
        if (odd) {
            const unsigned kind = (answers / 2) % 3;
            if (kind == 0)
                packet[3] = 'X'; // not an answer
            else if (kind == 1)
                put32(packet, 0), putFloat(packet, std::numeric_limits<float>::quiet_NaN()); // no number
            else
                std::memset(packet.data() + kHeader, 0x7F, 4); // an index never subscribed
        }
        break;
    case Fault::Reorder:
        if (heldBack.empty()) {
            heldBack = std::move(packet);
            heldFor = to;
            return;
        }
        socket.send(to, packet.data(), packet.size());
        socket.send(heldFor, heldBack.data(), heldBack.size());
        heldBack.clear();
        return;
    default:
        break;
    }
    socket.send(to, packet.data(), packet.size());
}

void CXPlaneServer::sendBeacon()
{
    std::vector<std::uint8_t> packet{'B', 'E', 'C', 'N', 0, 1, 2};
    put32(packet, 1); // X-Plane itself
    put32(packet, static_cast<std::uint32_t>(CXPlaneDatarefSpace::kVersionNumber));
    put32(packet, 1); // the master machine
    packet.push_back(static_cast<std::uint8_t>(boundPort));
    packet.push_back(static_cast<std::uint8_t>(boundPort >> 8));
    const char name[] = "qvl-sim";
    packet.insert(packet.end(), name, name + sizeof name);
    packet.push_back(0);
    packet.push_back(0);
    socket.send(kBeaconGroup, packet.data(), packet.size());
}
