// The sound seam: play one wave file asynchronously, replacing the one playing.
#pragma once

#include <memory>
#include <string>

class SoundOutput {
public:
    virtual ~SoundOutput() = default;
    // True when playback started.
    virtual bool playAsync(const std::string& path) = 0;
};

// The platform's player (CanberraSoundOutput.cpp / Win32SoundOutput.cpp).
// Where no sound device can be opened it plays nothing, says so once in the
// log, and reports every request as started so callers stay quiet too.
std::unique_ptr<SoundOutput> createPlatformSoundOutput();
