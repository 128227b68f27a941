// CService: cpp-httplib's TLS server. "Refuse" closes the listening socket (a
// real refused connection) and a watcher thread reopens it on the same port
// when the switch changes.
#include "Service.h"

#include "ServiceForm.h"
#include "ServiceJson.h"
#include "ServiceLegacy.h"

#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <netinet/in.h>
#include <sys/socket.h>

namespace {

// The library lets a kept connection's worker wait out its whole keep-alive
// time even after the server stopped, and the stop waits for the workers:
// shut the sockets accepted on our port (never a client's of this process,
// whose local port is another) so a stop takes no longer than a request.
void endKeptConnections(int port)
{
    std::error_code ec;
    for (std::filesystem::directory_iterator it("/proc/self/fd", ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.empty() || !std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; }))
            continue;
        const int fd = std::stoi(name);
        sockaddr_storage local{}, peer{};
        socklen_t localLength = sizeof local, peerLength = sizeof peer;
        if (::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &localLength) != 0 ||
            ::getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &peerLength) != 0)
            continue; // not a connected socket
        int localPort = -1;
        if (local.ss_family == AF_INET)
            localPort = ntohs(reinterpret_cast<const sockaddr_in&>(local).sin_port);
        else if (local.ss_family == AF_INET6)
            localPort = ntohs(reinterpret_cast<const sockaddr_in6&>(local).sin6_port);
        if (localPort == port)
            ::shutdown(fd, SHUT_RDWR);
    }
}

std::string garbage()
{
    std::string out;
    std::uint32_t x = 2463534242u;
    for (int i = 0; i < 3000; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        out += static_cast<char>(x & 0xff);
    }
    return out;
}

// The frame without its end: the last row cut in half, no "DATAEND".
std::string truncated(const std::string& body)
{
    std::string out = body;
    const std::size_t end = out.rfind("DATAEND");
    if (end != std::string::npos)
        out.erase(end);
    return out.substr(0, out.size() > 12 ? out.size() - out.size() / 4 : out.size());
}

std::string resultWord(std::uint32_t index)
{
    static const char* const kWords[] = {
        "SUCCESS",     "NO USER",    "NOT FOUND",        "INVALID", "Bad data from website", "Could not open URL",
        "INIT FAILED", "WRONG CODE", "ALREADY UPLOADED", "NO LOG",  "BAD LOGINDATA"};
    return index < std::size(kWords) ? kWords[index] : "MAYBE LATER";
}

} // namespace

CService::CService(CServiceOptions options)
    : opts(std::move(options)), certificates(opts.dataFolder), faults(opts.dataFolder)
{
}

CService::~CService()
{
    stop();
}

bool CService::prepare()
{
    std::error_code ec;
    std::filesystem::create_directories(opts.dataFolder, ec);
    if (!certificates.ensure()) {
        lastError = certificates.error();
        return false;
    }
    if (!db.open(opts.dataFolder + "/service.db") || !db.createSchema() || !db.loadAirports(opts.airportsFile) ||
        (!db.isSeeded() && !db.seedDemo())) {
        lastError = db.error();
        return false;
    }
    if (!opts.uploadLog.empty())
        db.mirrorUploadsTo(opts.uploadLog);
    return true;
}

std::unique_ptr<httplib::SSLServer> CService::makeServer()
{
    auto svr =
        std::make_unique<httplib::SSLServer>(certificates.certificateFile().c_str(), certificates.keyFile().c_str());
    svr->set_read_timeout(30, 0);
    svr->set_write_timeout(30, 0);
    svr->set_payload_max_length(1 << 20);
    svr->set_tcp_nodelay(true); // no 40 ms Nagle stalls between header and body
    // Clients keep their connection between calls (a tracker update a minute,
    // positions every three); each kept connection holds a worker meanwhile.
    svr->set_keep_alive_max_count(100000);
    svr->set_keep_alive_timeout(120);
    svr->Post("/client_interface3.php",
              [this](const httplib::Request& req, httplib::Response& res) { handleLegacy(req, res); });
    svr->Post("/api/login", [this](const httplib::Request& req, httplib::Response& res) {
        db.recordRequest(req.method, req.path, "login", req.body);
        const auto a = CServiceJson(db).login(req.body);
        answer(res, a.status, a.body, "application/json", false, "login");
    });
    svr->Get(R"(/api/login/([^/]*))", [this](const httplib::Request& req, httplib::Response& res) {
        db.recordRequest(req.method, req.target, "pilot", "");
        const auto a = CServiceJson(db).pilot(req.matches[1]);
        answer(res, a.status, a.body, "application/json", false, "pilot");
    });
    svr->Get(R"(/api/pilots/([^/]*)/booked_airports)", [this](const httplib::Request& req, httplib::Response& res) {
        db.recordRequest(req.method, req.target, "booked_airports", "");
        const auto a = CServiceJson(db).bookedAirports(req.matches[1], req.get_param_value("QVL-TOKEN-CLIENT"));
        answer(res, a.status, a.body, "application/json", false, "booked_airports");
    });
    // Installers exist for the release and the beta only; both platform suffixes are served: the
    // file `release` named, else a 64 KiB stand-in.
    svr->Get(R"(/downloads/QuenvaleSetup-(v[0-9.]{1,20})\.(exe|deb))",
             [this](const httplib::Request& req, httplib::Response& res) {
                 db.recordRequest(req.method, req.target, "download", "");
                 const std::string version = req.matches[1];
                 const auto known = db.scalar("SELECT COUNT(*) FROM settings WHERE key IN ('Version','BetaVersion')"
                                              " AND value=?",
                                              {version});
                 if (!known || *known == "0") {
                     answer(res, 404, "<html><body>Not Found</body></html>", "text/html", false, "download");
                     return;
                 }
                 const bool deb = req.matches[2] == "deb";
                 std::string payload;
                 if (const auto file = db.scalar("SELECT path FROM installers WHERE version=? AND suffix=?",
                                                 {version, std::string(req.matches[2])})) {
                     std::ifstream in(*file, std::ios::binary);
                     payload.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
                     if (!in.good() && !in.eof()) {
                         answer(res, 500, "<html><body>Installer unreadable</body></html>", "text/html", false,
                                "download");
                         return;
                     }
                     // The client's progress bar moves as the installer comes, unless a fault shapes the answer.
                     if (faults.current().modeFor("download") == CServiceFaults::None) {
                         res.status = 200;
                         paced(res, std::move(payload));
                         return;
                     }
                 } else {
                     payload = (deb ? "!<arch>\nquenvale setup " : "MZ quenvale setup ") + version + "\n";
                     payload.resize(64 * 1024, deb ? '\n' : '\x90');
                 }
                 answer(res, 200, payload, "application/octet-stream", false, "download");
             });
    return svr;
}

void CService::handleLegacy(const httplib::Request& req, httplib::Response& res)
{
    const std::string function = CServiceForm(req.body).get("function");
    db.recordRequest(req.method, req.path, function, req.body);
    answer(res, 200, CServiceLegacy(db).handle(req.body), "text/html; charset=UTF-8", true, function);
}

bool CService::delay(const CServiceFaults::State& fault)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(fault.delayMs);
    std::unique_lock<std::mutex> lock(mutex);
    while (!stopping && std::chrono::steady_clock::now() < until) {
        wake.wait_for(lock, std::chrono::milliseconds(50));
        if (faults.current().mode != CServiceFaults::Delay)
            break;
    }
    return !stopping;
}

void CService::trickle(httplib::Response& res, std::string body, const char* contentType, std::uint32_t pauseMs)
{
    if (body.empty())
        body.push_back(' ');
    const auto pause = std::chrono::milliseconds(pauseMs == 0 ? 100 : pauseMs);
    res.set_chunked_content_provider(
        contentType, [this, body = std::move(body), pause](std::size_t offset, httplib::DataSink& sink) {
            {
                std::unique_lock<std::mutex> lock(mutex);
                wake.wait_for(lock, pause, [this] { return stopping.load(); });
            }
            if (stopping || faults.current().mode != CServiceFaults::Trickle)
                return false;
            return sink.write(&body[offset % body.size()], 1);
        });
}

void CService::paced(httplib::Response& res, std::string body)
{
    const std::size_t size = body.size();
    res.set_content_provider(
        size, "application/octet-stream",
        [this, body = std::move(body)](std::size_t offset, std::size_t, httplib::DataSink& sink) {
            {
                std::unique_lock<std::mutex> lock(mutex);
                wake.wait_for(lock, std::chrono::milliseconds(20), [this] { return stopping.load(); });
            }
            if (stopping)
                return false;
            return sink.write(body.data() + offset, std::min<std::size_t>(64 * 1024, body.size() - offset));
        });
}

void CService::answer(httplib::Response& res, int status, std::string body, const char* contentType, bool framed,
                      const std::string& function)
{
    const CServiceFaults::State fault = faults.current();
    switch (fault.modeFor(function)) {
    case CServiceFaults::Trickle:
        res.status = status;
        trickle(res, std::move(body), contentType, fault.delayMs);
        return;
    case CServiceFaults::Huge:
        res.status = status;
        huge(res, std::move(body), contentType, static_cast<std::size_t>(fault.delayMs) << 20);
        return;
    case CServiceFaults::Closed:
    case CServiceFaults::Lost:
        res.status = status;
        cutOff(res, std::move(body), contentType, fault.modeFor(function) == CServiceFaults::Closed);
        return;
    case CServiceFaults::Status:
        status = static_cast<int>(fault.delayMs);
        if (status >= 300 && status < 400)
            res.set_header("Location", "/moved" + std::string(framed ? "/client_interface3.php" : ""));
        body = "<html><body>Status " + std::to_string(status) + "</body></html>";
        break;
    case CServiceFaults::Delay:
        delay(fault);
        break;
    case CServiceFaults::Http500:
        status = 500;
        body = "<html><body>Internal Server Error</body></html>";
        break;
    case CServiceFaults::Garbage:
        body = garbage();
        break;
    case CServiceFaults::Truncated:
        body = framed ? truncated(body) : body.substr(0, body.size() / 2);
        break;
    case CServiceFaults::Word:
        body = framed ? "DATASTART\n" + resultWord(fault.delayMs) + "\nDATAEND\n" : body;
        break;
    case CServiceFaults::WrongWord:
        body = framed ? "DATASTART\nMAYBE LATER\nDATAEND\n" : "{\"error\":\"MAYBE LATER\"}";
        break;
    case CServiceFaults::Empty:
        body.clear();
        break;
    default:
        break;
    }
    res.status = status;
    res.set_content(body, contentType);
}

void CService::huge(httplib::Response& res, std::string body, const char* contentType, std::size_t bytes)
{
    // The real answer first, then filler lines up to the size asked for.
    const std::size_t total = bytes > body.size() ? bytes : body.size();
    res.set_content_provider(
        total, contentType,
        [this, body = std::move(body), total](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
            if (stopping)
                return false;
            static const std::string filler = std::string(65535, 'x') + "\n";
            if (offset < body.size())
                return sink.write(body.data() + offset, body.size() - offset);
            const std::size_t n = std::min({length, filler.size(), total - offset});
            return sink.write(filler.data(), n);
        });
}

void CService::cutOff(httplib::Response& res, std::string body, const char* contentType, bool half)
{
    // The announced length never arrives: the client sees the connection end.
    if (body.empty())
        body.push_back(' ');
    const std::size_t length = body.size();
    res.set_content_provider(length, contentType,
                             [body = std::move(body), half](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                                 if (!half || offset > 0)
                                     return false;
                                 return sink.write(body.data(), body.size() / 2);
                             });
}

bool CService::listen()
{
    server = makeServer();
    if (!server->is_valid()) {
        lastError = "cannot load the certificate";
        return false;
    }
    if (boundPort == 0) {
        boundPort = opts.port == 0 ? server->bind_to_any_port(opts.host) : opts.port;
        if (opts.port != 0 && !server->bind_to_port(opts.host, opts.port))
            boundPort = -1;
    } else if (!server->bind_to_port(opts.host, boundPort)) {
        boundPort = -1;
    }
    if (boundPort <= 0) {
        lastError = "cannot listen on " + opts.host + ":" + std::to_string(opts.port);
        boundPort = 0;
        return false;
    }
    httplib::SSLServer* svr = server.get();
    serverThread = std::thread([svr] { svr->listen_after_bind(); });
    return true;
}

void CService::unlisten()
{
    if (server) {
        server->stop();
        // No new keep-alive wait starts once stopped; end those under way.
        endKeptConnections(boundPort);
    }
    if (serverThread.joinable())
        serverThread.join();
    server.reset();
}

bool CService::start()
{
    stopping = false;
    if (faults.current().mode != CServiceFaults::Refuse && !listen())
        return false;
    if (faults.current().mode == CServiceFaults::Refuse) {
        // Learn a port to come back to, then close it again.
        if (!listen())
            return false;
        unlisten();
    }
    const std::string portFile = opts.dataFolder + "/port";
    {
        std::ofstream out(portFile + ".tmp", std::ios::trunc);
        out << boundPort << '\n';
    }
    std::error_code ec;
    std::filesystem::rename(portFile + ".tmp", portFile, ec);
    faultThread = std::thread([this] { watchFaults(); });
    return true;
}

void CService::watchFaults()
{
    std::unique_lock<std::mutex> lock(mutex);
    while (!stopping) {
        const bool refuse = faults.current().mode == CServiceFaults::Refuse;
        lock.unlock();
        if (refuse && server)
            unlisten();
        else if (!refuse && !server)
            listen();
        lock.lock();
        wake.wait_for(lock, std::chrono::milliseconds(100));
    }
}

void CService::stop()
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    wake.notify_all();
    if (faultThread.joinable())
        faultThread.join();
    unlisten();
}
