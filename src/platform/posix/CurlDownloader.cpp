// Downloader on libcurl: HTTPS only, TLS verified against the system store
// plus the CA file, a stall timeout, and the file moved into place only after
// a complete transfer with a success status.
#include "platform/Downloader.h"

#include <curl/curl.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

struct Transfer {
    std::FILE* out = nullptr;
    DownloadProgress* progress = nullptr;
    std::uint64_t written = 0;
    bool aborted = false;
    bool writeFailed = false;
    std::string why; // the system's words for a failed write
};

std::size_t onData(char* data, std::size_t size, std::size_t count, void* user)
{
    auto* t = static_cast<Transfer*>(user);
    const std::size_t len = size * count;
    if (std::fwrite(data, 1, len, t->out) != len) {
        t->writeFailed = true;
        t->why = std::strerror(errno);
        return 0;
    }
    t->written += len;
    return len;
}

int onProgress(void* user, curl_off_t total, curl_off_t now, curl_off_t, curl_off_t)
{
    auto* t = static_cast<Transfer*>(user);
    const auto expected = total > 0 ? static_cast<std::uint64_t>(total) : 0;
    const auto received = now > 0 ? static_cast<std::uint64_t>(now) : 0;
    if (!t->progress->onProgress(received, expected)) {
        t->aborted = true;
        return 1;
    }
    return 0;
}

class CurlDownloader final : public Downloader {
public:
    CurlDownloader() { curl_global_init(CURL_GLOBAL_DEFAULT); }

    DownloadResult download(const DownloadRequest& request, DownloadProgress& progress) override
    {
        DownloadResult result;
        const std::string partial = request.file + ".part";
        Transfer t;
        t.progress = &progress;
        t.out = std::fopen(partial.c_str(), "wb");
        if (t.out == nullptr) {
            result.errorText = "cannot write " + partial + ": " + std::strerror(errno);
            return result;
        }
        CURL* curl = curl_easy_init();
        CURLcode code = CURLE_FAILED_INIT;
        if (curl != nullptr) {
            configure(curl, request, t);
            code = curl_easy_perform(curl);
            long status = 0;
            curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
            result.status = static_cast<int>(status);
            curl_easy_cleanup(curl);
        }
        const bool closed = std::fclose(t.out) == 0;
        if (!closed && t.why.empty())
            t.why = std::strerror(errno);
        result.aborted = t.aborted;
        // An empty answer is no installer, whatever its status says.
        result.ok = code == CURLE_OK && closed && !t.writeFailed && result.status == 200 && t.written > 0;
        if (!result.ok) {
            result.errorText = code != CURLE_OK           ? curl_easy_strerror(code)
                               : !closed || t.writeFailed ? "cannot write " + partial + ": " + t.why
                               : result.status != 200     ? "HTTP status " + std::to_string(result.status)
                                                          : std::string("empty download");
        }
        std::error_code ec;
        if (result.ok)
            std::filesystem::rename(partial, request.file, ec);
        if (!result.ok || ec) {
            if (ec) {
                result.ok = false;
                result.errorText = "cannot move " + partial + ": " + ec.message();
            }
            std::filesystem::remove(partial, ec);
        }
        return result;
    }

private:
    static void configure(CURL* curl, const DownloadRequest& request, Transfer& t)
    {
        curl_easy_setopt(curl, CURLOPT_URL, request.url.c_str());
        curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "https");
        curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "https");
        curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
        curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
        // The CA file joins the system's authorities, which curl keeps in its CA path.
        if (!request.caFile.empty())
            curl_easy_setopt(curl, CURLOPT_CAINFO, request.caFile.c_str());
        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(request.connectTimeoutMs));
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, static_cast<long>((request.stallTimeoutMs + 999) / 1000));
        curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(request.maxBytes));
        curl_easy_setopt(curl, CURLOPT_USERAGENT, "Quenvale");
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, onData);
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, &t);
        curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, onProgress);
        curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &t);
    }
};

} // namespace

std::unique_ptr<Downloader> createPlatformDownloader()
{
    return std::make_unique<CurlDownloader>();
}
