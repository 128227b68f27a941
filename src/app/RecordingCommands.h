// The program's two commands on a flight recording: `replay FILE` runs the
// recorded flight through the client's own flight objects and prints the
// report it arrives at; `landing FILE` prints the landing analysis and writes
// its plot and the track beside the recording.
#pragma once

#include <iosfwd>
#include <string>

namespace RecordingCommands {

int replay(const std::string& file, std::ostream& out, std::ostream& err);
int landing(const std::string& file, std::ostream& out, std::ostream& err);

} // namespace RecordingCommands
