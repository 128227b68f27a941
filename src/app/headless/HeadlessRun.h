// One scripted client run without a window: log in, fetch the booking, start
// the flight in the simulator and let the driver watch it until the flight
// is on block, printing every phase.
#pragma once

#include <string>

struct HeadlessOptions {
    std::string user;
    std::string password;
    std::string serverUrl;
    std::string caFile;
    int minutes = 60;     // give up after this much real time
    int autosaveMode = 1; // 0 None, 1 QVL Data only, 2 Flight + Data
    bool tracker = true;
    std::string fsInterface = "FSUIPC"; // the FSInterface setting: FSUIPC, SimConnect or Automatic
};

class HeadlessRun {
public:
    explicit HeadlessRun(const HeadlessOptions& options);
    // 0 when the flight reached On Block, non-zero otherwise.
    int run();

private:
    HeadlessOptions options;
};
