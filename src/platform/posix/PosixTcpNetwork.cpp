// TcpNetwork on Linux: BSD sockets, a non-blocking connect bounded by poll,
// poll before every read.
#include "platform/TcpNetwork.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

bool waitFor(int fd, short events, int waitMs)
{
    pollfd p{fd, events, 0};
    int n;
    do
        n = ::poll(&p, 1, waitMs);
    while (n < 0 && errno == EINTR);
    return n > 0;
}

class PosixTcpStream final : public TcpStream {
public:
    explicit PosixTcpStream(int socketFd) : fd(socketFd) {}
    ~PosixTcpStream() override { ::close(fd); }
    PosixTcpStream(const PosixTcpStream&) = delete;
    PosixTcpStream& operator=(const PosixTcpStream&) = delete;

    bool sendAll(const std::string& data) override
    {
        std::size_t sent = 0;
        while (sent < data.size()) {
            const ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
            if (n > 0) {
                sent += static_cast<std::size_t>(n);
                continue;
            }
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && waitFor(fd, POLLOUT, 1000))
                continue;
            if (n < 0 && errno == EINTR)
                continue;
            return false;
        }
        return true;
    }

    long receive(char* buffer, std::size_t capacity, int waitMs) override
    {
        if (!waitFor(fd, POLLIN, waitMs))
            return 0;
        const ssize_t n = ::recv(fd, buffer, capacity, 0);
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
            return 0;
        return n > 0 ? static_cast<long>(n) : -1;
    }

private:
    int fd;
};

int connectWithin(const addrinfo& a, int waitMs, std::string& error)
{
    const int fd = ::socket(a.ai_family, SOCK_STREAM, 0);
    if (fd < 0) {
        error = std::strerror(errno);
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    int result = ::connect(fd, a.ai_addr, a.ai_addrlen);
    if (result != 0 && errno == EINPROGRESS) {
        int soError = ETIMEDOUT;
        socklen_t length = sizeof soError;
        if (waitFor(fd, POLLOUT, waitMs))
            ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &soError, &length);
        errno = soError;
        result = soError == 0 ? 0 : -1;
    }
    if (result != 0) {
        error = std::strerror(errno);
        ::close(fd);
        return -1;
    }
    // Small requests and answers: each goes out at once.
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    return fd;
}

class PosixTcpNetwork final : public TcpNetwork {
public:
    std::unique_ptr<TcpStream> connect(const std::string& host, std::uint16_t port, int waitMs,
                                       std::string& error) override
    {
        addrinfo hints{};
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* found = nullptr;
        if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0 || found == nullptr) {
            error = "unknown host " + host;
            return nullptr;
        }
        const int fd = connectWithin(*found, waitMs, error);
        ::freeaddrinfo(found);
        if (fd < 0)
            return nullptr;
        return std::make_unique<PosixTcpStream>(fd);
    }
};

} // namespace

std::unique_ptr<TcpNetwork> createPlatformTcpNetwork()
{
    return std::make_unique<PosixTcpNetwork>();
}
