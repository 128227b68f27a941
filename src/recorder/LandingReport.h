// The landing analysis files of a recording, written beside it: the figures
// as text (.landing.txt), the plot (.landing.svg) and the track (.gpx, .kml).
#pragma once

#include <string>
#include <vector>

class CLandingReport {
public:
    static std::vector<std::string> analysisFiles(const std::string& recordingPath);
    // Reads the recording and writes every analysis file; answers those
    // written, with error set when the recording or a file failed.
    static std::vector<std::string> writeFor(const std::string& recordingPath, std::string& error);
    // The same, with the figures' text for printing.
    static std::vector<std::string> writeFor(const std::string& recordingPath, std::string& error,
                                             std::string& figures);
};
