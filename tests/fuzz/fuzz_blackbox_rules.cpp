// Fuzzes the blackbox rules file: any text is loaded as "blackbox.xml" from
// the data folder and its rules are checked against a snapshot that changes
// on every step (phases, switches, speeds, heights, airport texts, flight
// time). Loading falls back to the built-in rules on a broken file; no input
// may crash the recorder or leave more than its throttle allows in the log.
#include "core/ClientConfig.h"
#include "monitor/blackbox/Blackbox.h"
#include "platform/SoundOutput.h"
#include "server/ClientInterface.h"
#include "sim/FlightSimulatorObjects.h"
#include "ui/Sound.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

class NullSound final : public SoundOutput {
public:
    bool playAsync(const std::string&) override { return true; }
};

struct Recorder {
    Recorder() { sound.enable(); }
    NullSound output;
    CSound sound{output};
    CFlightSimulatorObjects snapshot;
    CClientInterface booking;
    CBlackbox box{sound, &snapshot, booking};
    std::string rulesPath = CClientConfig::getInstance().getDataFolder() + "blackbox.xml";
};

// Small deterministic generator seeded by the input, so a crash replays.
struct Steps {
    std::uint64_t state;
    std::uint32_t next()
    {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::uint32_t>(state >> 33);
    }
    double around(double scale) { return (static_cast<double>(next() % 2001) - 1000.0) / 1000.0 * scale; }
};

void change(CFlightSimulatorObjects& s, Steps& r)
{
    static const char* const airports[] = {"EDDF", "EDDM", "", "LOWW", "EDD"};
    s.lFlightPhase = static_cast<std::int32_t>(r.next() % 10) - 1;
    s.lIndicatedAirspeed = static_cast<std::int32_t>(r.around(400));
    s.lGroundSpeed = static_cast<std::int32_t>(r.around(500));
    s.lVerticalSpeed = static_cast<std::int32_t>(r.around(6000));
    s.lRadarAltitude = static_cast<std::int32_t>(r.around(40000));
    s.dAltitude = r.around(45000);
    s.fFlaps = static_cast<float>(r.next() % 5) / 4.0f;
    s.bGearDown = (r.next() & 1) != 0;
    s.bLandingLights = (r.next() & 1) != 0;
    std::snprintf(s.szClosestAirport, sizeof s.szClosestAirport, "%s", airports[r.next() % 5]);
    s.dFlightTime += static_cast<double>(r.next() % 90);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Recorder rec;
    std::FILE* f = std::fopen(rec.rulesPath.c_str(), "wb");
    if (f == nullptr)
        std::abort();
    if (size > 0)
        std::fwrite(data, 1, size, f);
    std::fclose(f);

    rec.snapshot = CFlightSimulatorObjects{};
    rec.box.resetAll();
    rec.box.startFlight();
    Steps steps{size};
    for (std::size_t i = 0; i < size && i < 64; ++i)
        steps.state = steps.state * 131 + data[i];
    for (int step = 0; step < 32; ++step) {
        change(rec.snapshot, steps);
        rec.box.check();
    }
    // Ten records per minute at most; 32 steps span under 48 minutes.
    if (rec.box.getEventLog().size() > 10 * 49)
        std::abort();
    return 0;
}
