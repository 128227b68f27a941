// qvl-resources: writes the client's generated resources into a folder: the
// window outline record (skin.region) and the sound files the client plays.
//   qvl-resources <folder>
#include "WaveFile.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <string>
#include <vector>

namespace {

// The window's outline: rounded corners and a 3-pixel margin.
constexpr int kOutline[13][4] = {
    {12, 3, 587, 4},    {9, 4, 590, 5},     {7, 5, 592, 6},      {6, 6, 593, 7},     {5, 7, 594, 9},
    {4, 9, 595, 12},    {3, 12, 596, 367},  {4, 367, 595, 370},  {5, 370, 594, 372}, {6, 372, 593, 373},
    {7, 373, 592, 374}, {9, 374, 590, 375}, {12, 375, 587, 376},
};

void put32(std::ofstream& out, std::int32_t v)
{
    const auto u = static_cast<std::uint32_t>(v);
    const char b[4] = {char(u & 0xff), char((u >> 8) & 0xff), char((u >> 16) & 0xff), char((u >> 24) & 0xff)};
    out.write(b, 4);
}

bool writeRegion(const std::filesystem::path& path)
{
    std::ofstream out(path, std::ios::binary);
    const int header[8] = {32, 1, 13, 13 * 16, 3, 3, 596, 376};
    for (int v : header)
        put32(out, v);
    for (const auto& r : kOutline)
        for (int v : r)
            put32(out, v);
    return static_cast<bool>(out);
}

using Composer = std::function<void(WaveFile&)>;

// Each sound by its path below the sound folder.
const std::map<std::string, Composer>& sounds()
{
    static const std::map<std::string, Composer> table = {
        {"snd_btn_click.wav", [](WaveFile& w) { w.tone(1800, 0.03, 0.5); }},
        {"snd_btn_disabled.wav", [](WaveFile& w) { w.tone(600, 0.06, 0.4); }},
        {"snd_error.wav",
         [](WaveFile& w) {
             w.tone(220, 0.15, 0.6, 233);
             w.tone(0, 0.05, 0);
             w.tone(196, 0.25, 0.6, 207);
         }},
        {"snd_applause.wav",
         [](WaveFile& w) {
             for (int i = 0; i < 24; ++i)
                 w.tone(900 + (i * 397) % 1700, 0.04, 0.35, 2300 + (i * 613) % 1900);
         }},
        {"en/ding_dong.wav",
         [](WaveFile& w) {
             w.tone(659, 0.45, 0.6);
             w.tone(523, 0.7, 0.6);
         }},
        {"en/penalty.wav",
         [](WaveFile& w) {
             w.tone(330, 0.12, 0.6);
             w.tone(0, 0.04, 0);
             w.tone(330, 0.12, 0.6);
         }},
    };
    return table;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: qvl-resources <folder>" << std::endl;
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code error;
    std::filesystem::create_directories(folder / "sound" / "en", error);
    if (error || !writeRegion(folder / "skin.region")) {
        std::cerr << "qvl-resources: cannot write into " << folder << std::endl;
        return 1;
    }
    for (const auto& [name, compose] : sounds()) {
        WaveFile wave;
        compose(wave);
        if (!wave.write((folder / "sound" / name).string())) {
            std::cerr << "qvl-resources: cannot write " << name << std::endl;
            return 1;
        }
    }
    return 0;
}
