// CFsuipcServer on Linux: a listening socket per window class, a thread per
// client connection, POSIX shared memory for the blocks.
#include "FsuipcServer.h"
#include "core/LittleEndian.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <set>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

struct CFsuipcServer::Endpoint {
    int listenFd = -1;
    std::thread acceptor;
    std::vector<int> connections;
    std::vector<std::thread> workers;
    std::atomic<bool> stopping{false};

    static void serveConnection(CFsuipcServer& server, int fd);
};

namespace {

bool readAll(int fd, void* buffer, std::size_t size)
{
    auto* p = static_cast<std::uint8_t*>(buffer);
    while (size > 0) {
        const ssize_t n = ::recv(fd, p, size, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool makeDirectory(const std::string& dir)
{
    for (std::size_t pos = 1; pos <= dir.size(); ++pos) {
        if (pos == dir.size() || dir[pos] == '/') {
            const std::string part = dir.substr(0, pos);
            if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
                return false;
        }
    }
    return true;
}

} // namespace

CFsuipcServer::CFsuipcServer(BlockHandler blockHandler)
    : handler(std::move(blockHandler)), endpoint(std::make_unique<Endpoint>())
{
}

CFsuipcServer::~CFsuipcServer()
{
    stop();
}

std::string CFsuipcServer::defaultDirectory()
{
    if (const char* dir = std::getenv("QVL_FSUIPC_DIR"); dir != nullptr && dir[0] != '\0')
        return dir;
    if (const char* run = std::getenv("XDG_RUNTIME_DIR"); run != nullptr && run[0] != '\0')
        return std::string(run) + "/fsuipc";
    return "/tmp/fsuipc-" + std::to_string(::getuid());
}

bool CFsuipcServer::running() const
{
    return endpoint->listenFd >= 0;
}

void CFsuipcServer::pump(unsigned ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

bool CFsuipcServer::start(const std::string& className, const std::string& directory)
{
    stop();
    const std::string dir = directory.empty() ? defaultDirectory() : directory;
    if (!makeDirectory(dir))
        return false;
    path = dir + "/" + className;
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path)
        return false;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    // A socket left behind by a killed stand-in would refuse the bind.
    ::unlink(path.c_str());
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 8) != 0) {
        ::close(fd);
        return false;
    }
    Endpoint& e = *endpoint;
    e.listenFd = fd;
    e.stopping = false;
    e.acceptor = std::thread([this] {
        Endpoint& ep = *endpoint;
        while (!ep.stopping) {
            const int client = ::accept4(ep.listenFd, nullptr, nullptr, SOCK_CLOEXEC);
            if (client < 0) {
                if (errno == EINTR)
                    continue;
                return;
            }
            std::lock_guard<std::mutex> lock(mutex);
            if (ep.stopping) {
                ::close(client);
                return;
            }
            ep.connections.push_back(client);
            ep.workers.emplace_back([this, client] { Endpoint::serveConnection(*this, client); });
        }
    });
    return true;
}

void CFsuipcServer::stop()
{
    Endpoint& e = *endpoint;
    if (e.listenFd < 0)
        return;
    e.stopping = true;
    ::shutdown(e.listenFd, SHUT_RDWR);
    if (e.acceptor.joinable())
        e.acceptor.join();
    ::close(e.listenFd);
    e.listenFd = -1;
    ::unlink(path.c_str());
    std::vector<std::thread> done;
    {
        std::lock_guard<std::mutex> lock(mutex);
        for (int c : e.connections)
            ::shutdown(c, SHUT_RDWR);
        done.swap(e.workers);
    }
    for (std::thread& t : done)
        t.join();
    std::lock_guard<std::mutex> lock(mutex);
    e.connections.clear();
}

void CFsuipcServer::Endpoint::serveConnection(CFsuipcServer& server, int fd)
{
    std::string lastName;
    std::set<std::string> served;
    bool answeredLate = false;
    for (;;) {
        std::uint8_t header[8];
        if (!readAll(fd, header, sizeof header))
            break;
        const std::uint32_t message = getLe32(header);
        const std::uint32_t length = getLe32(header + 4);
        if (length > kMaxNameLength)
            break; // not a client of ours; drop it
        std::string name(length, '\0');
        if (length > 0 && !readAll(fd, name.data(), length))
            break;
        // The first batch of a mapping (the version handshake) is always served
        // honestly, so a client gets as far as the batches the fault is meant for.
        const Fault fault = server.fault;
        const bool faulty = name == lastName && fault != Fault::None;
        lastName = name;
        const bool ours = message == kMessageNumber && isMappingName(name);
        if (ours)
            served.insert(name);
        const bool ok = ours && server.serveNamed(name, faulty);
        if (faulty && fault == Fault::NeverAnswer)
            continue;
        if (faulty && fault == Fault::AnswerLate && !answeredLate) {
            std::this_thread::sleep_for(std::chrono::milliseconds(kLateAnswerMs));
            answeredLate = true;
        }
        std::uint8_t answer[4];
        const std::uint32_t word = ok && !(faulty && fault == Fault::AnswerZero) ? 1 : 0;
        for (int i = 0; i < 4; ++i)
            answer[i] = static_cast<std::uint8_t>(word >> (8 * i));
        if (::send(fd, answer, sizeof answer, MSG_NOSIGNAL) != sizeof answer)
            break;
    }
    // A mapping lives as long as its client: one that died without closing
    // must not leave its names behind for a later process with the same id.
    for (const std::string& name : served)
        ::shm_unlink(("/" + name).c_str());
    std::lock_guard<std::mutex> lock(server.mutex);
    ::close(fd);
    std::erase(server.endpoint->connections, fd);
}

bool CFsuipcServer::serveNamed(const std::string& name, bool faulty)
{
    const std::string shmName = "/" + name;
    const int shm = ::shm_open(shmName.c_str(), O_RDWR | O_CLOEXEC, 0);
    if (shm < 0)
        return false;
    struct stat st {};
    bool ok = ::fstat(shm, &st) == 0 && st.st_size >= static_cast<off_t>(kBlockSize);
    void* view = ok ? ::mmap(nullptr, kBlockSize, PROT_READ | PROT_WRITE, MAP_SHARED, shm, 0) : MAP_FAILED;
    ::close(shm);
    if (view == MAP_FAILED)
        return false;
    ok = serveMapped(name, static_cast<std::uint8_t*>(view), faulty);
    ::munmap(view, kBlockSize);
    return ok;
}
