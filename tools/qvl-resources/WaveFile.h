// A short mono 16-bit wave file built from tones: each note a frequency (0 is
// silence), a length and a loudness, shaped so it starts and ends without a click.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class WaveFile {
public:
    static constexpr int kSampleRate = 22050;

    // Adds a note; a second frequency above 0 is mixed in (a chord or a noise-like beat).
    void tone(double frequency, double seconds, double loudness, double second = 0.0);
    bool write(const std::string& path) const;

private:
    std::vector<std::int16_t> samples;
};
