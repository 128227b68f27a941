// The update download: fetches the newer client's installer from the
// service's web site on a thread of its own, shows the progress on the
// download page, and starts the installer once the whole file is there.
//
// The download thread never touches the window: it leaves the progress and
// its outcome in atomics that the user-interface thread applies in deliver(),
// so stop() can wait for the thread without any risk of a deadlock.
#pragma once

#include "core/DebugLog.h"
#include "platform/Downloader.h"
#include "update/BSCallback.h"
#include "update/UpdateHost.h"

#include <atomic>
#include <string>
#include <string_view>
#include <thread>

namespace AutoUpdate {

class CAutoUpdate {
public:
    CAutoUpdate();
    ~CAutoUpdate();
    CAutoUpdate(const CAutoUpdate&) = delete;
    CAutoUpdate& operator=(const CAutoUpdate&) = delete;

    void attach(CUpdateHost& host);

    // "Update now!": builds the names and starts the download thread.
    bool start();
    // "Abort download!": stops the transfer and waits for the thread.
    void stop();

    // From the callback, on the download thread: fraction received, 0..1.
    void progress(double fraction);
    // On the user-interface thread, every tick: the progress bar, the error
    // box, or the end of the client once the installer runs.
    void deliver();

    // The release to fetch: the beta when the client is newer than the release.
    static std::string chooseVersion(std::string_view own, std::string_view version, std::string_view beta);
    // A version text that is safe inside a file name and an address.
    static bool isSafeVersion(std::string_view version);

    // Where installers are kept; by default "updates" in the pilot's data
    // folder, which the pilot can write wherever the program is installed.
    void setFolder(const std::string& path) { folder = path; }
    const std::string& getAddress() const { return address; }
    const std::string& getLocalFile() const { return localFile; }
    bool isRunning() const { return thread.joinable(); }

private:
    enum Outcome { OutcomeNone, OutcomeFailed, OutcomeLaunched, OutcomeLaunchFailed };

    void run(DownloadRequest request);
    bool fail(const std::string& why);
    void join();

    CBSCallback callback;
    CUpdateHost* host = nullptr;
    std::thread thread;
    std::string address;
    std::string localFile;
    std::string folder; // empty: the data folder's "updates"
    std::atomic<int> percent{-1}; // -1: nothing new to show
    std::atomic<int> outcome{OutcomeNone};
    CDebugLog log;
};

} // namespace AutoUpdate
