// WaveFile: a RIFF header of 44 bytes, then the samples, little-endian.
#include "WaveFile.h"

#include <algorithm>
#include <cmath>
#include <fstream>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kFadeSeconds = 0.01;

void put32(std::ofstream& out, std::uint32_t v)
{
    const char b[4] = {char(v & 0xff), char((v >> 8) & 0xff), char((v >> 16) & 0xff), char((v >> 24) & 0xff)};
    out.write(b, 4);
}

void put16(std::ofstream& out, std::uint16_t v)
{
    const char b[2] = {char(v & 0xff), char((v >> 8) & 0xff)};
    out.write(b, 2);
}

} // namespace

void WaveFile::tone(double frequency, double seconds, double loudness, double second)
{
    const int count = static_cast<int>(seconds * kSampleRate);
    const int fade = std::max(1, static_cast<int>(kFadeSeconds * kSampleRate));
    for (int i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        const double envelope =
            std::min({1.0, double(i) / fade, double(count - i) / fade}) * std::exp(-2.5 * t / std::max(seconds, 0.01));
        double value = frequency > 0 ? std::sin(2 * kPi * frequency * t) : 0.0;
        if (second > 0)
            value = 0.6 * value + 0.4 * std::sin(2 * kPi * second * t);
        samples.push_back(static_cast<std::int16_t>(value * envelope * loudness * 32000));
    }
}

bool WaveFile::write(const std::string& path) const
{
    std::ofstream out(path, std::ios::binary);
    const auto bytes = static_cast<std::uint32_t>(samples.size() * 2);
    out.write("RIFF", 4);
    put32(out, 36 + bytes);
    out.write("WAVEfmt ", 8);
    put32(out, 16);
    put16(out, 1); // PCM
    put16(out, 1); // mono
    put32(out, kSampleRate);
    put32(out, kSampleRate * 2);
    put16(out, 2);
    put16(out, 16);
    out.write("data", 4);
    put32(out, bytes);
    for (std::int16_t s : samples)
        put16(out, static_cast<std::uint16_t>(s));
    return static_cast<bool>(out);
}
