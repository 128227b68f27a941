// The file seam of the settings and report store: files created and written
// in pieces, pushed to stable storage, and renamed over an older file in one
// step. The store builds its crash-safe saves on these four operations.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

class DurableFile {
public:
    virtual ~DurableFile() = default;
    // Appends size bytes; false when not all of them were written.
    virtual bool write(const char* data, std::size_t size) = 0;
    // Pushes everything written so far to the disk.
    virtual bool flushToDisk() = 0;
    // Closes the file; false when the close reported an error.
    virtual bool close() = 0;
};

class DurableFiles {
public:
    virtual ~DurableFiles() = default;
    // Creates or truncates the file; nullptr when it cannot be opened.
    virtual std::unique_ptr<DurableFile> create(const std::string& path) = 0;
    // Renames from over to in one step (an existing target is replaced).
    virtual bool replace(const std::string& from, const std::string& to) = 0;
    virtual bool remove(const std::string& path) = 0;
    // Why the calling thread's last failed create, write or close failed, in
    // the system's words; empty when not known.
    virtual std::string lastError() const { return {}; }
};

// Portable files: the C library's streams and std::filesystem; a flush hands
// the data to the operating system but does not wait for the disk.
class StdioDurableFiles : public DurableFiles {
public:
    std::unique_ptr<DurableFile> create(const std::string& path) override;
    bool replace(const std::string& from, const std::string& to) override;
    bool remove(const std::string& path) override;
    std::string lastError() const override;
};

// The files the process uses; portable ones until a front-end or test installs
// the platform's own.
DurableFiles& durableFiles();
// Installs files (not owned); nullptr restores the portable ones.
void setDurableFiles(DurableFiles* files);

// The platform's own implementation (PosixDurableFiles.cpp, ...): waits for
// the disk on flush and makes the rename itself durable.
std::unique_ptr<DurableFiles> createPlatformDurableFiles();
