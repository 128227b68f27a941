// SoundOutput on Windows: PlaySound, asynchronous; a new sound stops the one
// still playing. Without a wave device it plays nothing after one log line.
#include "platform/SoundOutput.h"

#include "core/DebugLog.h"
#include "platform/win32/WideText.h"

#include <windows.h>

#include <mmsystem.h>

namespace {

class Win32SoundOutput final : public SoundOutput {
public:
    bool playAsync(const std::string& path) override
    {
        if (silent)
            return true;
        if (waveOutGetNumDevs() == 0) {
            silent = true;
            CDebugLog log("CSound", CDebugLog::Quiet{});
            log.warn("No sound device, sounds stay silent: no wave output device");
            return true;
        }
        return PlaySoundW(toWide(path).c_str(), nullptr, SND_FILENAME | SND_ASYNC | SND_NODEFAULT);
    }

private:
    bool silent = false;
};

} // namespace

std::unique_ptr<SoundOutput> createPlatformSoundOutput()
{
    return std::make_unique<Win32SoundOutput>();
}
