// SingleInstance on POSIX: flock on a lock file. The kernel drops the lock when
// the process ends, however it ends, so a crashed client never blocks the next.
#include "platform/SingleInstance.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

class PosixSingleInstance final : public SingleInstance {
public:
    explicit PosixSingleInstance(std::string lockPath) : path(std::move(lockPath)) {}
    ~PosixSingleInstance() override
    {
        if (fd >= 0)
            ::close(fd); // releases the lock; the file stays for the next start
    }
    PosixSingleInstance(const PosixSingleInstance&) = delete;
    PosixSingleInstance& operator=(const PosixSingleInstance&) = delete;

    Claim claim() override
    {
        if (fd >= 0)
            return Claim::First;
        const int handle = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (handle < 0)
            return unavailable("cannot open " + path);
        if (::flock(handle, LOCK_EX | LOCK_NB) == 0) {
            fd = handle;
            return Claim::First;
        }
        const int err = errno;
        ::close(handle);
        if (err == EWOULDBLOCK)
            return Claim::Refused;
        errno = err;
        return unavailable("cannot lock " + path);
    }

    std::string lastError() const override { return error; }

private:
    Claim unavailable(const std::string& what)
    {
        error = what + ": " + std::strerror(errno);
        return Claim::Unavailable;
    }

    std::string path;
    std::string error;
    int fd = -1;
};

} // namespace

std::unique_ptr<SingleInstance> createPlatformSingleInstance(const std::string& folder, const std::string& name)
{
    return std::make_unique<PosixSingleInstance>(folder + name + ".lock");
}
