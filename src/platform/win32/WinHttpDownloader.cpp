// Downloader on WinHTTP: HTTPS only, TLS verified as for every request, a
// stall timeout, and the file moved into place only after a complete transfer
// with a success status.
#include "platform/Downloader.h"

#include "platform/win32/WideText.h"
#include "platform/win32/WinHttpRequest.h"

#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

// Splits "https://host[:port]/path"; false for any other scheme.
bool splitUrl(const std::string& url, WinHttpTarget& target)
{
    const std::string scheme = "https://";
    if (url.compare(0, scheme.size(), scheme) != 0)
        return false;
    const std::size_t hostStart = scheme.size();
    const std::size_t pathStart = url.find('/', hostStart);
    std::string hostPort =
        url.substr(hostStart, pathStart == std::string::npos ? std::string::npos : pathStart - hostStart);
    target.path = pathStart == std::string::npos ? "/" : url.substr(pathStart);
    target.port = 443;
    if (const std::size_t colon = hostPort.rfind(':');
        colon != std::string::npos && hostPort.find(']') == std::string::npos) {
        try {
            target.port = std::stoi(hostPort.substr(colon + 1));
        } catch (const std::exception&) {
            return false;
        }
        hostPort.resize(colon);
    }
    target.host = hostPort;
    return !target.host.empty() && target.port > 0 && target.port < 65536;
}

class WinHttpDownloader final : public Downloader {
public:
    DownloadResult download(const DownloadRequest& request, DownloadProgress& progress) override
    {
        DownloadResult result;
        WinHttpTarget target;
        if (!splitUrl(request.url, target)) {
            result.errorText = "not an https address: " + request.url;
            return result;
        }
        target.caFile = request.caFile;
        target.connectTimeoutMs = request.connectTimeoutMs;
        target.sendTimeoutMs = request.stallTimeoutMs;
        target.receiveTimeoutMs = request.stallTimeoutMs;
        target.followRedirects = true;

        const std::string partial = request.file + ".part";
        std::FILE* out = _wfopen(toWide(partial).c_str(), L"wb");
        if (out == nullptr) {
            result.errorText = "cannot write " + partial + ": " + std::strerror(errno);
            return result;
        }
        std::string why; // the C library's words for a failed write
        std::uint64_t written = 0;
        bool writeFailed = false;
        bool tooLong = false;
        std::uint64_t announced = 0; // the answer's length, 0 when it did not say
        const WinHttpOutcome outcome =
            WinHttpRequest::exchange(target, {}, [&](const char* data, std::size_t size, const WinHttpOutcome& sofar) {
                if (written + size > request.maxBytes) {
                    tooLong = true;
                    return false;
                }
                if (std::fwrite(data, 1, size, out) != size) {
                    writeFailed = true;
                    why = std::strerror(errno);
                    return false;
                }
                written += size;
                announced = sofar.contentLength;
                if (!progress.onProgress(written, sofar.contentLength)) {
                    result.aborted = true;
                    return false;
                }
                return true;
            });
        const bool closed = std::fclose(out) == 0;
        if (!closed && why.empty())
            why = std::strerror(errno);
        result.status = outcome.status;
        // An empty answer is no installer, whatever its status says; nor is one
        // that ended before its announced length (the connection closed early).
        const bool cutShort = announced > 0 && written != announced;
        result.ok = outcome.ok && closed && !writeFailed && outcome.status == 200 && written > 0 && !cutShort;
        if (!result.ok) {
            result.errorText =
                result.aborted           ? std::string("stopped")
                : tooLong                ? "larger than " + std::to_string(request.maxBytes) + " bytes"
                : !closed || writeFailed ? "cannot write " + partial + ": " + why
                : !outcome.ok            ? outcome.errorText
                : outcome.status != 200  ? "HTTP status " + std::to_string(outcome.status)
                : cutShort ? "cut off after " + std::to_string(written) + " of " + std::to_string(announced) + " bytes"
                           : std::string("empty download");
        }
        if (result.ok && !MoveFileExW(toWide(partial).c_str(), toWide(request.file).c_str(),
                                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            result.ok = false;
            result.errorText = "cannot move " + partial + ": " + windowsErrorText(GetLastError());
        }
        if (!result.ok)
            DeleteFileW(toWide(partial).c_str());
        return result;
    }
};

} // namespace

std::unique_ptr<Downloader> createPlatformDownloader()
{
    return std::make_unique<WinHttpDownloader>();
}
