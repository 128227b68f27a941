// CLandingReport: the analysis files through the durable-files seam.
#include "monitor/recorder/LandingReport.h"

#include "core/FixedText.h"
#include "monitor/recorder/FlightRecording.h"
#include "monitor/recorder/LandingAnalysis.h"
#include "monitor/recorder/LandingPlot.h"
#include "monitor/recorder/RecordingReader.h"
#include "monitor/recorder/TrackExport.h"
#include "platform/DurableFiles.h"

#include <string_view>

namespace {

std::string stem(const std::string& path)
{
    const std::string_view ext = Recording::kExtension;
    if (path.size() > ext.size() && path.compare(path.size() - ext.size(), ext.size(), ext) == 0)
        return path.substr(0, path.size() - ext.size());
    return path;
}

bool writeWhole(const std::string& path, const std::string& content)
{
    std::unique_ptr<DurableFile> file = durableFiles().create(path);
    if (!file)
        return false;
    const bool written = file->write(content.data(), content.size());
    return file->close() && written;
}

} // namespace

std::vector<std::string> CLandingReport::analysisFiles(const std::string& recordingPath)
{
    const std::string base = stem(recordingPath);
    return {base + ".landing.txt", base + ".landing.svg", base + ".gpx", base + ".kml"};
}

std::vector<std::string> CLandingReport::writeFor(const std::string& recordingPath, std::string& error)
{
    std::string figures;
    return writeFor(recordingPath, error, figures);
}

std::vector<std::string> CLandingReport::writeFor(const std::string& recordingPath, std::string& error,
                                                  std::string& figures)
{
    Recording::File recording;
    if (!CRecordingReader::readFile(recordingPath, recording, error))
        return {};
    const CLandingAnalysis analysis(recording);
    figures = analysis.text();
    if (recording.truncated)
        figures += "(The recording ends inside a record: read up to its last whole record.)\n";
    const std::string name = "Flight " + fieldText(recording.start.flightLog.l_ID);
    const std::vector<std::string> paths = analysisFiles(recordingPath);
    const std::string contents[] = {figures, CLandingPlot::svg(analysis), CTrackExport::gpx(analysis.samples(), name),
                                    CTrackExport::kml(analysis.samples(), name)};
    std::vector<std::string> written;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (writeWhole(paths[i], contents[i]))
            written.push_back(paths[i]);
        else
            error = "cannot write " + paths[i];
    }
    return written;
}
