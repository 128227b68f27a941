// The portable durable-files implementation and the process-wide registry.
#include "platform/DurableFiles.h"

#include <cstdio>
#include <filesystem>

namespace {

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
        return file != nullptr && std::fwrite(data, 1, size, file) == size;
    }
    bool flushToDisk() override { return file != nullptr && std::fflush(file) == 0; }
    bool close() override
    {
        if (file == nullptr)
            return false;
        const bool ok = std::fclose(file) == 0;
        file = nullptr;
        return ok;
    }

private:
    std::FILE* file;
};

StdioDurableFiles g_stdioFiles;
DurableFiles* g_files = &g_stdioFiles;

} // namespace

std::unique_ptr<DurableFile> StdioDurableFiles::create(const std::string& path)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr)
        return nullptr;
    return std::make_unique<StdioFile>(f);
}

bool StdioDurableFiles::replace(const std::string& from, const std::string& to)
{
    std::error_code ec;
    std::filesystem::rename(from, to, ec);
    return !ec;
}

bool StdioDurableFiles::remove(const std::string& path)
{
    std::error_code ec;
    return std::filesystem::remove(path, ec) && !ec;
}

DurableFiles& durableFiles()
{
    return *g_files;
}

void setDurableFiles(DurableFiles* files)
{
    g_files = files != nullptr ? files : &g_stdioFiles;
}
