// CAutoUpdate: names, thread and hand-over of the update download.
#include "update/AutoUpdate.h"

#include "core/ClientConfig.h"
#include "core/FixedText.h"
#include "core/Utf8Path.h"
#include "core/Version.h"
#include "platform/ProcessLauncher.h"
#include "platform/Toolkit.h"
#include "report/StoredSettings.h"
#include "server/ClientInterface.h"
#include "server/ServerSettings.h"

#include <cmath>
#include <filesystem>
#include <system_error>

namespace AutoUpdate {

namespace {

constexpr const char* kErrorTitle = "Download Error";
constexpr const char* kErrorText =
    "Error: Unable to download new Client!\nPlease get the latest release from the website.";
constexpr const char* kLaunchErrorText =
    "Error: Unable to start the downloaded installer!\nPlease get the latest release from the website.";

// The download base always speaks TLS and ends with a slash.
std::string downloadBase(std::string url)
{
    if (url.rfind("http://", 0) == 0)
        url = "https://" + url.substr(7);
    else if (url.find("://") == std::string::npos)
        url = "https://" + url;
    if (url.empty() || url.back() != '/')
        url += '/';
    return url;
}

} // namespace

CAutoUpdate::CAutoUpdate() : log("CAutoUpdate")
{
    callback.setOwner(this);
}

CAutoUpdate::~CAutoUpdate()
{
    // Closing the client must not wait for the rest of a download.
    callback.setStop(true);
    join();
}

void CAutoUpdate::attach(CUpdateHost& updateHost)
{
    host = &updateHost;
}

std::string CAutoUpdate::chooseVersion(std::string_view own, std::string_view version, std::string_view beta)
{
    return std::string(own > version ? beta : version);
}

bool CAutoUpdate::isSafeVersion(std::string_view version)
{
    if (version.empty() || version.size() > 31 || version.find("..") != std::string_view::npos)
        return false;
    for (const char c : version) {
        const bool ok = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '.' ||
                        c == '-' || c == '_';
        if (!ok)
            return false;
    }
    return true;
}

bool CAutoUpdate::fail(const std::string& why)
{
    log.error(why);
    outcome = OutcomeFailed;
    return false;
}

bool CAutoUpdate::start()
{
    if (host == nullptr)
        return false;
    stop();
    const CClientInterface& client = host->getClient();
    const std::string version =
        chooseVersion(kClientVersion, fieldText(client.versions[CClientInterface::VersionClient]),
                      fieldText(client.versions[CClientInterface::VersionBeta]));
    if (!isSafeVersion(version))
        return fail("Update refused: the service's version text \"" + version + "\" is not a version");
    const std::string suffix = processLauncher().installerSuffix();
    const CServerSettings settings = CStoredSettings::server();
    address = downloadBase(settings.webUrl) + "downloads/QuenvaleSetup-" + version + suffix;
    const std::string dir = folder.empty() ? CClientConfig::getInstance().getDataFolder() + "updates" : folder;
    localFile = dir + "/QuenvaleSetup-" + version + suffix;
    std::error_code ec;
    std::filesystem::create_directories(utf8Path(dir), ec);
    if (ec)
        return fail("Could not create the folder " + dir + ": " + ec.message());
    callback.setStop(false);
    percent = -1;
    outcome = OutcomeNone;
    log.debug("Downloading " + address + " to " + localFile);
    DownloadRequest request;
    request.url = address;
    request.file = localFile;
    request.caFile = settings.caFile;
    thread = std::thread([this, request] { run(request); });
    return true;
}

void CAutoUpdate::run(DownloadRequest request)
{
    if (callback.isStopped())
        return;
    const DownloadResult result = downloader().download(request, callback);
    if (callback.isStopped()) {
        log.debug("Download stopped");
        return;
    }
    if (!result.ok) {
        log.errorf("Download of %s failed (HTTP %d): %s", request.url.c_str(), result.status, result.errorText.c_str());
        outcome = OutcomeFailed;
        return;
    }
    if (!processLauncher().startInstaller(request.file)) {
        log.error("Could not start the installer " + request.file);
        outcome = OutcomeLaunchFailed;
        return;
    }
    log.debug("Installer started: " + request.file);
    outcome = OutcomeLaunched;
}

void CAutoUpdate::join()
{
    if (thread.joinable())
        thread.join();
}

void CAutoUpdate::stop()
{
    callback.setStop(true);
    join();
    percent = -1;
    outcome = OutcomeNone;
}

void CAutoUpdate::progress(double fraction)
{
    if (!std::isfinite(fraction))
        return;
    const double clamped = fraction < 0.0 ? 0.0 : fraction > 1.0 ? 1.0 : fraction;
    percent = static_cast<int>(clamped * 100.0);
}

void CAutoUpdate::deliver()
{
    if (host == nullptr)
        return;
    Window& window = host->getWindow();
    const int shown = percent.exchange(-1);
    if (shown >= 0)
        host->showDownloadProgress(shown / 100.0);
    switch (outcome.exchange(OutcomeNone)) {
    case OutcomeFailed:
        join();
        window.messageBox(kErrorText, kErrorTitle, MessageBoxButtons::Ok, MessageBoxIcon::Warning);
        break;
    case OutcomeLaunchFailed:
        join();
        window.messageBox(kLaunchErrorText, kErrorTitle, MessageBoxButtons::Ok, MessageBoxIcon::Warning);
        break;
    case OutcomeLaunched:
        join();
        window.close();
        break;
    default:
        break;
    }
}

} // namespace AutoUpdate
