// SoundOutput on libcanberra: one context for the process, every sound under
// one id so that a new sound cancels the one still playing. Without a sound
// device (no sound server and no sound card, or a device that refuses an
// existing file) it turns silent after one log line.
#include "platform/SoundOutput.h"

#include "core/DebugLog.h"

#include <canberra.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace {

constexpr std::uint32_t kSoundId = 1;

void reportSilence(const std::string& why)
{
    CDebugLog log("CSound", CDebugLog::Quiet{});
    log.warn("No sound device, sounds stay silent: " + why);
}

bool exists(const std::string& path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

// A sound server's socket or a sound card; a cheap look before any device is opened.
bool soundDeviceLikely()
{
    if (const char* server = std::getenv("PULSE_SERVER"); server != nullptr && *server != '\0')
        return true;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime != '\0') {
        const std::string dir = runtime;
        std::error_code error;
        if (std::filesystem::exists(dir + "/pulse/native", error) ||
            std::filesystem::exists(dir + "/pipewire-0", error))
            return true;
    }
    std::error_code error;
    return std::filesystem::exists("/dev/snd", error);
}

class CanberraSoundOutput final : public SoundOutput {
public:
    explicit CanberraSoundOutput(ca_context* c) : context(c) {}
    ~CanberraSoundOutput() override { ca_context_destroy(context); }
    CanberraSoundOutput(const CanberraSoundOutput&) = delete;
    CanberraSoundOutput& operator=(const CanberraSoundOutput&) = delete;

    bool playAsync(const std::string& path) override
    {
        if (silent)
            return true;
        if (!exists(path))
            return false;
        ca_context_cancel(context, kSoundId);
        const int result = ca_context_play(context, kSoundId, CA_PROP_MEDIA_FILENAME, path.c_str(), nullptr);
        if (result == CA_SUCCESS)
            return true;
        // The file is there, so the device is what failed; stop trying.
        silent = true;
        reportSilence(ca_strerror(result));
        return true;
    }

private:
    ca_context* context;
    bool silent = false;
};

class SilentSoundOutput final : public SoundOutput {
public:
    bool playAsync(const std::string&) override { return true; }
};

} // namespace

std::unique_ptr<SoundOutput> createPlatformSoundOutput()
{
    if (!soundDeviceLikely()) {
        reportSilence("no sound server or sound card found");
        return std::make_unique<SilentSoundOutput>();
    }
    ca_context* context = nullptr;
    int result = ca_context_create(&context);
    if (result == CA_SUCCESS)
        result = ca_context_change_props(context, CA_PROP_APPLICATION_NAME, "Quenvale", nullptr);
    if (result == CA_SUCCESS)
        result = ca_context_open(context);
    if (result == CA_SUCCESS)
        return std::make_unique<CanberraSoundOutput>(context);
    if (context != nullptr)
        ca_context_destroy(context);
    reportSilence(ca_strerror(result));
    return std::make_unique<SilentSoundOutput>();
}
