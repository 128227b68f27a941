// The download seam: one URL into one local file, with progress reports that
// can stop the transfer. Runs on the caller's thread (the update download's).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

struct DownloadRequest {
    std::string url;    // https only
    std::string file;   // local path; written only when the download is complete
    std::string caFile; // extra trusted authority (PEM); empty = system store only
    std::uint32_t connectTimeoutMs = 60000;
    std::uint32_t stallTimeoutMs = 30000; // no byte for this long ends the transfer
    std::uint64_t maxBytes = std::uint64_t{1} << 30;
};

struct DownloadResult {
    bool ok = false;      // the whole file arrived and is in place
    bool aborted = false; // a progress report asked to stop
    int status = 0;       // HTTP status, 0 when no answer came
    std::string errorText;
};

// Receives the progress; answering false stops the download.
class DownloadProgress {
public:
    virtual ~DownloadProgress() = default;
    // expected is 0 while the size is unknown.
    virtual bool onProgress(std::uint64_t received, std::uint64_t expected) = 0;
};

class Downloader {
public:
    virtual ~Downloader() = default;
    virtual DownloadResult download(const DownloadRequest& request, DownloadProgress& progress) = 0;
};

// The process's downloader; until one is installed every download fails.
Downloader& downloader();
// Installs a downloader (not owned); nullptr restores the failing one.
void setDownloader(Downloader* d);
// The platform's own implementation (CurlDownloader.cpp).
std::unique_ptr<Downloader> createPlatformDownloader();
