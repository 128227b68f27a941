// The simulator-module transport on Linux: the server "window" is a listening
// Unix-domain socket named after the window class, the named block is a POSIX
// shared-memory object, and "send the message" is one frame on the socket
// {message, name length, name} answered by one 32-bit word.
#include "platform/FsuipcTransport.h"
#include "core/LittleEndian.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

constexpr std::uint32_t kMessageNumber = 0x0000C0DE;

std::string socketDirectory()
{
    if (const char* dir = std::getenv("QVL_FSUIPC_DIR"); dir != nullptr && dir[0] != '\0')
        return dir;
    if (const char* run = std::getenv("XDG_RUNTIME_DIR"); run != nullptr && run[0] != '\0')
        return std::string(run) + "/fsuipc";
    return "/tmp/fsuipc-" + std::to_string(::getuid());
}

using SteadyTime = std::chrono::steady_clock::time_point;

int msLeft(SteadyTime deadline)
{
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

enum class Io { Done, TimedOut, Broken };

// Waits for the socket to become ready for `events` before the deadline.
Io waitFor(int fd, short events, SteadyTime deadline)
{
    for (;;) {
        pollfd p{fd, events, 0};
        const int n = ::poll(&p, 1, msLeft(deadline));
        if (n > 0)
            return (p.revents & (events | POLLHUP | POLLERR)) != 0 ? Io::Done : Io::Broken;
        if (n == 0)
            return Io::TimedOut;
        if (errno != EINTR)
            return Io::Broken;
    }
}

class PosixFsuipcTransport final : public FsuipcTransport {
public:
    ~PosixFsuipcTransport() override
    {
        closeMapping();
        forgetWindow();
    }

    bool findWindow(const std::string& className) override
    {
        forgetWindow();
        const std::string path = socketDirectory() + "/" + className;
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        if (path.size() >= sizeof addr.sun_path)
            return false;
        std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0)
            return false;
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
            ::close(fd);
            return false;
        }
        socketFd = fd;
        staleAnswers = 0;
        return true;
    }

    std::uint32_t registerMessage(const std::string&) override { return kMessageNumber; }

    bool addAtom(const std::string& name) override
    {
        atomName = name;
        return !atomName.empty();
    }

    MapStatus createMapping(const std::string& name, std::size_t size) override
    {
        closeMapping();
        const std::string shmName = "/" + name;
        int fd = ::shm_open(shmName.c_str(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, 0600);
        // A name with this process's id that exists already was left by a dead
        // process that had the same id: on Windows it would have died with it.
        if (fd < 0 && errno == EEXIST && carriesOwnProcessId(name) && ::shm_unlink(shmName.c_str()) == 0)
            fd = ::shm_open(shmName.c_str(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, 0600);
        if (fd < 0)
            return errno == EEXIST ? MapStatus::NameExists : MapStatus::Failed;
        mappingName = shmName;
        mappingFd = fd;
        if (::ftruncate(fd, static_cast<off_t>(size)) != 0)
            return failMapping();
        void* p = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        if (p == MAP_FAILED)
            return failMapping();
        mapped = static_cast<std::uint8_t*>(p);
        mappedSize = size;
        return MapStatus::Mapped;
    }

    std::uint8_t* view() override { return mapped; }

    SendOutcome sendMessage(std::uint32_t message, std::uint32_t timeoutMs) override
    {
        if (socketFd < 0)
            return SendOutcome{SendStatus::Failed, 0, EBADF};
        const SteadyTime deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        if (const SendOutcome sent = writeFrame(message, deadline); sent.status != SendStatus::Answered)
            return sent;
        // Answers to frames that timed out earlier arrive first; they belong to no one now.
        for (;;) {
            std::uint8_t word[4];
            const SendOutcome got = readAnswer(word, deadline);
            if (got.status != SendStatus::Answered) {
                if (got.status == SendStatus::TimedOut)
                    ++staleAnswers;
                return got;
            }
            if (staleAnswers == 0)
                return SendOutcome{SendStatus::Answered, getLe32(word), 0};
            --staleAnswers;
        }
    }

    void forgetWindow() override
    {
        if (socketFd >= 0)
            ::close(socketFd);
        socketFd = -1;
        staleAnswers = 0;
    }

    void deleteAtom() override { atomName.clear(); }

    void closeMapping() override
    {
        if (mapped != nullptr)
            ::munmap(mapped, mappedSize);
        mapped = nullptr;
        mappedSize = 0;
        if (mappingFd >= 0)
            ::close(mappingFd);
        mappingFd = -1;
        if (!mappingName.empty())
            ::shm_unlink(mappingName.c_str());
        mappingName.clear();
    }

    std::uint32_t processId() override { return static_cast<std::uint32_t>(::getpid()); }

    // "FsasmLib:IPC:<process id>:<number>", both in upper-case hex.
    static bool carriesOwnProcessId(const std::string& name)
    {
        char own[32];
        std::snprintf(own, sizeof own, ":%X:", static_cast<unsigned>(::getpid()));
        const std::size_t first = name.find(':', name.find(':') + 1);
        return first != std::string::npos && name.compare(first, std::strlen(own), own) == 0;
    }

private:
    MapStatus failMapping()
    {
        closeMapping();
        return MapStatus::Failed;
    }

    SendOutcome writeFrame(std::uint32_t message, SteadyTime deadline)
    {
        frame.assign(8 + atomName.size(), '\0'); // the member keeps its room: no allocation per frame
        auto* p = reinterpret_cast<std::uint8_t*>(frame.data());
        putLe32(p, message);
        putLe32(p + 4, static_cast<std::uint32_t>(atomName.size()));
        std::memcpy(p + 8, atomName.data(), atomName.size());
        // The socket almost always has room for a frame: it waits only when full.
        std::size_t done = 0;
        while (done < frame.size()) {
            const ssize_t n = ::send(socketFd, frame.data() + done, frame.size() - done, MSG_NOSIGNAL | MSG_DONTWAIT);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno == EAGAIN) {
                if (const Io ready = waitFor(socketFd, POLLOUT, deadline); ready != Io::Done)
                    return ioFailure(ready);
                continue;
            }
            if (n <= 0)
                return SendOutcome{SendStatus::Failed, 0, errno != 0 ? errno : EPIPE};
            done += static_cast<std::size_t>(n);
        }
        return SendOutcome{SendStatus::Answered, 0, 0};
    }

    SendOutcome readAnswer(std::uint8_t (&word)[4], SteadyTime deadline)
    {
        std::size_t got = 0;
        while (got < sizeof word) {
            const Io ready = waitFor(socketFd, POLLIN, deadline);
            if (ready != Io::Done)
                return ioFailure(ready);
            const ssize_t n = ::recv(socketFd, word + got, sizeof word - got, MSG_DONTWAIT);
            if (n < 0 && (errno == EINTR || errno == EAGAIN))
                continue;
            if (n == 0)
                return SendOutcome{SendStatus::Failed, 0, ECONNRESET};
            if (n < 0)
                return SendOutcome{SendStatus::Failed, 0, errno};
            got += static_cast<std::size_t>(n);
        }
        return SendOutcome{SendStatus::Answered, 0, 0};
    }

    static SendOutcome ioFailure(Io io)
    {
        if (io == Io::TimedOut)
            return SendOutcome{SendStatus::TimedOut, 0, 0};
        return SendOutcome{SendStatus::Failed, 0, errno != 0 ? errno : ECONNRESET};
    }

    int socketFd = -1;
    int staleAnswers = 0;
    std::string atomName;
    std::string frame;
    std::string mappingName;
    int mappingFd = -1;
    std::uint8_t* mapped = nullptr;
    std::size_t mappedSize = 0;
};

} // namespace

std::unique_ptr<FsuipcTransport> createPlatformFsuipcTransport()
{
    return std::make_unique<PosixFsuipcTransport>();
}
