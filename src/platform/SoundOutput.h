// The sound seam: play one wave file asynchronously, replacing the one playing.
#pragma once

#include <string>

class SoundOutput {
public:
    virtual ~SoundOutput() = default;
    // True when playback started.
    virtual bool playAsync(const std::string& path) = 0;
};
