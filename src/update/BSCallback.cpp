// CBSCallback: progress and the stop flag of the update download.
#include "update/BSCallback.h"

#include "update/AutoUpdate.h"

namespace AutoUpdate {

bool CBSCallback::onProgress(std::uint64_t received, std::uint64_t expected)
{
    if (isStopped())
        return false;
    // Without an expected size there is no fraction; the bar keeps its place.
    if (owner != nullptr && expected > 0)
        owner->progress(static_cast<double>(received) / static_cast<double>(expected));
    return true;
}

void CBSCallback::setStop(bool stop)
{
    const std::lock_guard<std::mutex> lock(mutex);
    stopFlag = stop;
}

bool CBSCallback::isStopped() const
{
    const std::lock_guard<std::mutex> lock(mutex);
    return stopFlag;
}

} // namespace AutoUpdate
