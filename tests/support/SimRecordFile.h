// Reads the record file qvl-sim writes (one JSON object per line) so tests in
// another process can see what the client did to the simulator.
#pragma once

#include <string>
#include <vector>

struct SimRecordLine {
    std::string kind;
    std::string text;
    double value = 0.0;
    int slot = -1;
};

class CSimRecordFile {
public:
    explicit CSimRecordFile(std::string path) : file(std::move(path)) {}
    std::vector<SimRecordLine> lines() const;
    std::vector<SimRecordLine> linesOf(const std::string& kind) const;

private:
    std::string file;
};
