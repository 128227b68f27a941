// CFsuipcServer: sockets, frames, shared blocks.
#include "FsuipcServer.h"

#include <chrono>

#include "OffsetSpace.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <set>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

std::uint32_t getLe32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

void putLe32(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

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

bool validName(const std::string& name)
{
    return name.rfind("FsasmLib:IPC:", 0) == 0 && name.find('/') == std::string::npos;
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

CFsuipcServer::CFsuipcServer(BlockHandler blockHandler) : handler(std::move(blockHandler)) {}

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
    listenFd = fd;
    stopping = false;
    acceptor = std::thread([this] { acceptLoop(); });
    return true;
}

void CFsuipcServer::stop()
{
    if (listenFd < 0)
        return;
    stopping = true;
    ::shutdown(listenFd, SHUT_RDWR);
    if (acceptor.joinable())
        acceptor.join();
    ::close(listenFd);
    listenFd = -1;
    ::unlink(path.c_str());
    std::vector<std::thread> done;
    {
        std::lock_guard<std::mutex> lock(mutex);
        for (int c : connections)
            ::shutdown(c, SHUT_RDWR);
        done.swap(workers);
    }
    for (std::thread& t : done)
        t.join();
    std::lock_guard<std::mutex> lock(mutex);
    connections.clear();
}

std::vector<std::string> CFsuipcServer::mappingNames() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return names;
}

void CFsuipcServer::acceptLoop()
{
    while (!stopping) {
        const int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        std::lock_guard<std::mutex> lock(mutex);
        if (stopping) {
            ::close(fd);
            return;
        }
        connections.push_back(fd);
        workers.emplace_back([this, fd] { serveConnection(fd); });
    }
}

void CFsuipcServer::serveConnection(int fd)
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
        const bool faulty = name == lastName && fault != Fault::None;
        lastName = name;
        const bool ours = message == kMessageNumber && validName(name);
        if (ours)
            served.insert(name);
        const bool ok = ours && serveFrame(name, faulty);
        if (faulty && fault == Fault::NeverAnswer)
            continue;
        if (faulty && fault == Fault::AnswerLate && !answeredLate) {
            std::this_thread::sleep_for(std::chrono::milliseconds(kLateAnswerMs));
            answeredLate = true;
        }
        std::uint8_t answer[4];
        putLe32(answer, ok && !(faulty && fault == Fault::AnswerZero) ? 1 : 0);
        if (::send(fd, answer, sizeof answer, MSG_NOSIGNAL) != sizeof answer)
            break;
    }
    // A mapping lives as long as its client: one that died without closing
    // must not leave its names behind for a later process with the same id.
    for (const std::string& name : served)
        ::shm_unlink(("/" + name).c_str());
    std::lock_guard<std::mutex> lock(mutex);
    ::close(fd);
    std::erase(connections, fd);
}

bool CFsuipcServer::serveFrame(const std::string& name, bool faulty)
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (names.empty() || names.back() != name)
            names.push_back(name);
    }
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
    auto* block = static_cast<std::uint8_t*>(view);
    ok = handler(name, block, kBlockSize);
    if (faulty && fault == Fault::RewriteHeader)
        tamper(block);
    ::munmap(view, kBlockSize);
    return ok;
}

void CFsuipcServer::tamper(std::uint8_t* block)
{
    // Point the first record elsewhere and claim the whole block for it.
    if (getLe32(block) == 0)
        return;
    putLe32(block + 4, getLe32(block + 4) + 1);
    putLe32(block + 8, kBlockSize - 16);
}

bool CFsuipcServer::walkBlock(std::uint8_t* block, std::size_t size, COffsetSpace& space)
{
    std::size_t pos = 0;
    while (pos + 4 <= size) {
        const std::uint32_t id = getLe32(block + pos);
        if (id == 0)
            break;
        const std::size_t header = id == 1 ? 16 : 12;
        if ((id != 1 && id != 2) || pos + header > size)
            return false;
        const std::uint32_t offset = getLe32(block + pos + 4);
        const std::uint32_t n = getLe32(block + pos + 8);
        if (n > size - pos - header)
            return false;
        if (id == 1)
            space.read(offset, block + pos + header, n);
        else
            space.write(offset, block + pos + header, n);
        pos += header + n;
    }
    space.finishBatch();
    return true;
}
