// DurableFiles on POSIX: write(2) loops, fsync of the file, and fsync of the
// folder after a rename so the new name survives a power cut too.
#include "platform/DurableFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

thread_local std::string t_posixError;

bool notePosixFailure(bool ok)
{
    if (!ok)
        t_posixError = std::strerror(errno);
    return ok;
}

class PosixFile final : public DurableFile {
public:
    explicit PosixFile(int descriptor) : fd(descriptor) {}
    ~PosixFile() override
    {
        if (fd >= 0)
            ::close(fd);
    }
    PosixFile(const PosixFile&) = delete;
    PosixFile& operator=(const PosixFile&) = delete;

    bool write(const char* data, std::size_t size) override
    {
        while (fd >= 0 && size > 0) {
            const ssize_t n = ::write(fd, data, size);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                return notePosixFailure(false);
            if (n == 0) {
                t_posixError = "nothing written";
                return false;
            }
            data += n;
            size -= static_cast<std::size_t>(n);
        }
        return fd >= 0;
    }
    bool flushToDisk() override { return fd >= 0 && notePosixFailure(::fsync(fd) == 0); }
    bool close() override
    {
        if (fd < 0)
            return false;
        const bool ok = notePosixFailure(::close(fd) == 0);
        fd = -1;
        return ok;
    }

private:
    int fd;
};

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

class PosixDurableFiles final : public DurableFiles {
public:
    std::unique_ptr<DurableFile> create(const std::string& path) override
    {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (!notePosixFailure(fd >= 0))
            return nullptr;
        return std::make_unique<PosixFile>(fd);
    }

    bool replace(const std::string& from, const std::string& to) override
    {
        if (std::rename(from.c_str(), to.c_str()) != 0)
            return false;
        // The rename is done; a folder that cannot be synced only weakens the
        // guarantee against power loss, so it does not fail the save.
        const int dir = ::open(folderOf(to).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir >= 0) {
            ::fsync(dir);
            ::close(dir);
        }
        return true;
    }

    bool remove(const std::string& path) override { return ::unlink(path.c_str()) == 0; }
    std::string lastError() const override { return t_posixError; }
};

} // namespace

std::unique_ptr<DurableFiles> createPlatformDurableFiles()
{
    return std::make_unique<PosixDurableFiles>();
}
