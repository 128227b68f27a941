// One client connection to the stand-in library: its data definitions, mapped
// client events, subscribed system events and the messages waiting for it.
// The message handed out last stays valid until the next one is taken.
#pragma once

#include "SimVariables.h"
#include "StandInApi.h"

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

struct StandInDatum {
    std::string name;
    std::string units;
    StandInApi::DWORD type = 0;
    CSimVariables::Ref variable;
};

struct StandInIdentity {
    std::string applicationName = "KittyHawk";
    StandInApi::DWORD application[4] = {11, 0, 0, 0}; // major, minor, build major, build minor
    StandInApi::DWORD simConnect[4] = {11, 0, 0, 0};
};

class CStandInConnection {
public:
    using DWORD = StandInApi::DWORD;

    explicit CStandInConnection(const StandInIdentity& identity);

    void addDatum(DWORD define, const StandInDatum& datum) { definitions[define].push_back(datum); }
    // nullptr for a definition never made.
    const std::vector<StandInDatum>* definition(DWORD define) const;
    static std::size_t blockSize(const std::vector<StandInDatum>& data);

    void mapEvent(DWORD id, const std::string& upperName) { events[id] = upperName; }
    // Upper-case name of a mapped client event; empty when not mapped.
    std::string eventName(DWORD id) const;
    // False for a system event the stand-in does not send.
    bool subscribe(DWORD id, const std::string& upperName);

    void queueException(DWORD exception);
    void queueObjectData(DWORD request, DWORD define, const std::vector<std::uint8_t>& block);
    // Frame and crash events for what the model did since the last call.
    void queueSystemEvents(double simSeconds, float simRate, bool crashed);
    // The next message; false when none is waiting.
    bool next(StandInApi::SIMCONNECT_RECV** data, DWORD* size);

private:
    void queue(std::vector<std::uint8_t> message, DWORD id);

    std::map<DWORD, std::vector<StandInDatum>> definitions;
    std::map<DWORD, std::string> events;
    std::map<std::string, DWORD> systemEvents; // name -> the client's event id
    std::deque<std::vector<std::uint8_t>> pending;
    std::vector<std::uint8_t> current;
    double lastFrameSeconds = -1.0;
    bool crashReported = false;
};
