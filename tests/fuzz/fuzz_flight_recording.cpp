// Fuzzes the flight recording reader and what reads its result: any file
// contents are parsed; a recording that reads is analysed as the landing
// command would. Reads must stay inside the file and a damaged file must be
// refused, never crash.
#include "recorder/LandingAnalysis.h"
#include "recorder/LandingPlot.h"
#include "recorder/RecordingReader.h"
#include "recorder/TrackExport.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CRecordingReader recording;
    std::string error;
    if (!recording.openBytes(std::string_view(reinterpret_cast<const char*>(data), size), error))
        return 0;
    std::size_t points = 0;
    const CLandingAnalysis analysis(recording,
                                    [&](const FlightSample& s) { points += CTrackExport::kmlPoint(s).size(); });
    volatile std::size_t sink = analysis.text().size() + CLandingPlot::svg(analysis).size() +
                                CTrackExport::gpx(analysis.samples(), "fuzz").size() + points;
    (void)sink;
    return 0;
}
