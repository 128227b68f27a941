// The portable durable-files implementation and the process-wide registry.
#include "platform/DurableFiles.h"
#include "platform/SeamSlot.h"

#include "core/Utf8Path.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace {

thread_local std::string t_stdioError;

// The C library says why in errno.
bool noteStdioFailure(bool ok)
{
    if (!ok)
        t_stdioError = std::generic_category().message(errno);
    return ok;
}

class StdioFile final : public DurableFile {
public:
    explicit StdioFile(std::FILE* f) : file(f) {}
    ~StdioFile() override
    {
        if (file != nullptr)
            std::fclose(file);
    }
    StdioFile(const StdioFile&) = delete;
    StdioFile& operator=(const StdioFile&) = delete;

    bool write(const char* data, std::size_t size) override
    {
        return file != nullptr && noteStdioFailure(std::fwrite(data, 1, size, file) == size);
    }
    bool flushToDisk() override { return file != nullptr && std::fflush(file) == 0; }
    bool close() override
    {
        if (file == nullptr)
            return false;
        const bool ok = noteStdioFailure(std::fclose(file) == 0);
        file = nullptr;
        return ok;
    }

private:
    std::FILE* file;
};

StdioDurableFiles g_stdioFiles;
constinit SeamSlot<DurableFiles> g_files{g_stdioFiles};

} // namespace

std::unique_ptr<DurableFile> StdioDurableFiles::create(const std::string& path)
{
#ifdef _WIN32
    std::FILE* f = _wfopen(utf8Path(path).c_str(), L"wb");
#else
    std::FILE* f = std::fopen(path.c_str(), "wb");
#endif
    if (!noteStdioFailure(f != nullptr))
        return nullptr;
    return std::make_unique<StdioFile>(f);
}

std::string StdioDurableFiles::lastError() const
{
    return t_stdioError;
}

bool StdioDurableFiles::replace(const std::string& from, const std::string& to)
{
    std::error_code ec;
    std::filesystem::rename(utf8Path(from), utf8Path(to), ec);
    return !ec;
}

bool StdioDurableFiles::remove(const std::string& path)
{
    std::error_code ec;
    return std::filesystem::remove(utf8Path(path), ec) && !ec;
}

DurableFiles& durableFiles()
{
    return g_files.get();
}

void setDurableFiles(DurableFiles* files)
{
    g_files.install(files);
}
