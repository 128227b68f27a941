// Registry of the process's Downloader; the download thread reads it.
#include "platform/Downloader.h"
#include "platform/SeamSlot.h"

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
constinit SeamSlot<Downloader> g_downloader{g_noDownloader};
} // namespace

Downloader& downloader()
{
    return g_downloader.get();
}

void setDownloader(Downloader* d)
{
    g_downloader.install(d);
}
