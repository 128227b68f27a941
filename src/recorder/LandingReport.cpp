// CLandingReport: the analysis files through the durable-files seam.
#include "recorder/LandingReport.h"

#include "core/FixedText.h"
#include "core/RegularFile.h"
#include "platform/DurableFiles.h"
#include "recorder/FlightRecording.h"
#include "recorder/LandingAnalysis.h"
#include "recorder/LandingPlot.h"
#include "recorder/RecordingReader.h"
#include "recorder/TrackExport.h"

#include <memory>
#include <string_view>

namespace {

std::string stem(const std::string& path)
{
    const std::string_view ext = Recording::kExtension;
    if (path.size() > ext.size() && path.compare(path.size() - ext.size(), ext.size(), ext) == 0)
        return path.substr(0, path.size() - ext.size());
    return path;
}

// One analysis file written in pieces. Unless it is finished whole it is
// removed again, so a full disk leaves no empty or cut file behind.
class AnalysisFile {
public:
    explicit AnalysisFile(std::string filePath) : path(std::move(filePath))
    {
        // A FIFO in the file's place would block the open for ever.
        if (!CRegularFile::absentOrRegular(path))
            why = "not a regular file";
        else if (!(file = durableFiles().create(path)))
            why = durableFiles().lastError();
    }
    ~AnalysisFile()
    {
        if (file)
            discard();
    }
    AnalysisFile(const AnalysisFile&) = delete;
    AnalysisFile& operator=(const AnalysisFile&) = delete;

    void add(const std::string& text)
    {
        buffer += text;
        if (buffer.size() >= kPiece)
            pass();
    }
    // True when the whole file is on its way to the disk; false (and no file) otherwise.
    bool finish(std::string& error)
    {
        pass();
        if (file && why.empty() && !file->close())
            why = durableFiles().lastError();
        if (file && why.empty()) {
            file.reset();
            return true;
        }
        discard();
        error = "cannot write " + path + (why.empty() ? "" : ": " + why);
        return false;
    }
    void discard()
    {
        if (file) {
            file->close();
            file.reset();
            durableFiles().remove(path);
        }
    }

private:
    static constexpr std::size_t kPiece = 64u << 10;

    void pass()
    {
        if (file && why.empty() && !buffer.empty() && !file->write(buffer.data(), buffer.size()))
            why = durableFiles().lastError().empty() ? "write failed" : durableFiles().lastError();
        buffer.clear();
    }

    std::string path;
    std::unique_ptr<DurableFile> file;
    std::string buffer;
    std::string why;
};

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
    CRecordingReader recording;
    if (!recording.open(recordingPath, error))
        return {};
    const std::vector<std::string> paths = analysisFiles(recordingPath);
    const std::string name = "Flight " + fieldText(recording.start().flightLog.l_ID);
    // The whole track goes to the map files as it is read; only the samples
    // around the touchdown stay for the figures and the plot.
    AnalysisFile gpx(paths[2]);
    AnalysisFile kml(paths[3]);
    gpx.add(CTrackExport::gpxHead(name));
    kml.add(CTrackExport::kmlHead(name));
    const CLandingAnalysis analysis(recording, [&](const FlightSample& s) {
        gpx.add(CTrackExport::gpxPoint(s));
        kml.add(CTrackExport::kmlPoint(s));
    });
    if (!recording.error().empty()) {
        error = recordingPath + ": " + recording.error();
        return {};
    }
    gpx.add(CTrackExport::gpxTail());
    kml.add(CTrackExport::kmlTail());
    figures = analysis.text();
    if (recording.truncated())
        figures += "(The recording ends inside a record: read up to its last whole record.)\n";
    AnalysisFile text(paths[0]);
    text.add(figures);
    AnalysisFile plot(paths[1]);
    plot.add(CLandingPlot::svg(analysis));
    AnalysisFile* files[] = {&text, &plot, &gpx, &kml};
    std::vector<std::string> written;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (files[i]->finish(error))
            written.push_back(paths[i]);
    }
    return written;
}
