// Real files that fail at a chosen step, installed through the durable-files
// seam: a full disk or a lost folder without the need for either.
#pragma once

#include "platform/DurableFiles.h"

#include <memory>
#include <string>

enum class FailAt { Nothing, Create, Write, Flush, Close, Rename };

// Real files that stop at a chosen step; a failing write leaves the bytes
// already written on disk, as a full disk does.
class FailingFiles final : public DurableFiles {
public:
    FailAt failAt = FailAt::Nothing;
    std::size_t bytesBeforeFailure = 0;

    std::unique_ptr<DurableFile> create(const std::string& path) override
    {
        if (failAt == FailAt::Create)
            return nullptr;
        auto inner = real.create(path);
        if (!inner)
            return nullptr;
        return std::make_unique<File>(std::move(inner), *this);
    }
    bool replace(const std::string& from, const std::string& to) override
    {
        return failAt != FailAt::Rename && real.replace(from, to);
    }
    bool remove(const std::string& path) override { return real.remove(path); }
    std::string lastError() const override { return failAt == FailAt::Nothing ? real.lastError() : "disk full"; }

private:
    class File final : public DurableFile {
    public:
        File(std::unique_ptr<DurableFile> f, FailingFiles& o) : inner(std::move(f)), owner(o) {}
        bool write(const char* data, std::size_t size) override
        {
            if (owner.failAt != FailAt::Write)
                return inner->write(data, size);
            const std::size_t room = owner.bytesBeforeFailure - written;
            const std::size_t n = size < room ? size : room;
            inner->write(data, n);
            written += n;
            return n == size;
        }
        bool flushToDisk() override { return owner.failAt != FailAt::Flush && inner->flushToDisk(); }
        bool close() override { return inner->close() && owner.failAt != FailAt::Close; }

    private:
        std::unique_ptr<DurableFile> inner;
        FailingFiles& owner;
        std::size_t written = 0;
    };

    StdioDurableFiles real;
};

// Installs files for one test and restores the portable ones however it ends.
struct ScopedFiles {
    explicit ScopedFiles(DurableFiles* files) { setDurableFiles(files); }
    ~ScopedFiles() { setDurableFiles(nullptr); }
    ScopedFiles(const ScopedFiles&) = delete;
    ScopedFiles& operator=(const ScopedFiles&) = delete;
};
