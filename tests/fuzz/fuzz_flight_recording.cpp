// Fuzzes the flight recording reader and what reads its result: any file
// contents are parsed; a recording that reads is analysed as the landing
// command would. Reads must stay inside the file and a damaged file must be
// refused, never crash.
#include "monitor/recorder/LandingAnalysis.h"
#include "monitor/recorder/LandingPlot.h"
#include "monitor/recorder/RecordingReader.h"
#include "monitor/recorder/TrackExport.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Recording::File recording;
    std::string error;
    if (!CRecordingReader::parse(std::string_view(reinterpret_cast<const char*>(data), size), recording, error))
        return 0;
    const CLandingAnalysis analysis(recording);
    volatile std::size_t sink = analysis.text().size() + CLandingPlot::svg(analysis).size() +
                                CTrackExport::gpx(analysis.samples(), "fuzz").size();
    (void)sink;
    return 0;
}
