// The update download's progress callback: hands the fraction received to its
// owner and stops the transfer once the stop flag is set. The flag is written
// by the user-interface thread and read by the download thread.
#pragma once

#include "platform/Downloader.h"

#include <cstdint>
#include <mutex>

namespace AutoUpdate {

class CAutoUpdate;

class CBSCallback final : public DownloadProgress {
public:
    // Set once, before any download runs.
    void setOwner(CAutoUpdate* autoUpdate) { owner = autoUpdate; }

    // False ("abort") once the stop flag is set.
    bool onProgress(std::uint64_t received, std::uint64_t expected) override;

    void setStop(bool stop);
    bool isStopped() const;

private:
    mutable std::mutex mutex;
    bool stopFlag = false;
    CAutoUpdate* owner = nullptr;
};

} // namespace AutoUpdate
