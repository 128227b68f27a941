// A flight image numbered by a generation, for the kill test: the child that
// autosaves writes generation after generation, the test reads back whatever
// a kill left and checks that it is one generation, complete.
#pragma once

#include <string>

class CReport;
class CBlackbox;
class CClientInterface;
class CFlightSimulatorInterface;

struct BackupGeneration {
    CClientInterface& client;
    CFlightSimulatorInterface& sim;
    CBlackbox& blackbox;
    CReport& report;

    // Fills the flight with the queue, events and records of generation n.
    void fill(int n);
    // The generation the loaded flight belongs to.
    int loaded() const;
    // Empty when the loaded flight is generation n in every part, else what differs.
    std::string mismatch(int n) const;

    static int positions(int n) { return n % 50 + 1; }
    static int events(int n) { return n % 30; }
};
