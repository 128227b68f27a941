// Registry of the process's Downloader; the download thread reads it, hence
// the atomic pointer.
#include "platform/Downloader.h"

#include <atomic>

namespace {
class NoDownloader final : public Downloader {
public:
    DownloadResult download(const DownloadRequest&, DownloadProgress&) override
    {
        DownloadResult r;
        r.errorText = "no downloader installed";
        return r;
    }
};

NoDownloader g_noDownloader;
std::atomic<Downloader*> g_downloader{&g_noDownloader};
} // namespace

Downloader& downloader()
{
    return *g_downloader.load();
}

void setDownloader(Downloader* d)
{
    g_downloader.store(d != nullptr ? d : &g_noDownloader);
}
