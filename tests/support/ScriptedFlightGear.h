// A FlightGear property server in memory for the bridge's tests: a TcpNetwork
// whose connections answer get and take set from a property map, with a
// hook that spoils the answers.
#pragma once

#include "platform/TcpNetwork.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

class ScriptedFlightGear : public TcpNetwork {
public:
    ScriptedFlightGear();
    ~ScriptedFlightGear() override;

    std::unique_ptr<TcpStream> connect(const std::string& host, std::uint16_t port, int waitMs,
                                       std::string& error) override;

    // A C172P parked at BIKF with half tanks.
    void setParked();

    std::map<std::string, std::string> properties;
    // Every set, in order: "path=value".
    std::vector<std::string> sets;
    // Rewrites a batch's whole answer before it is sent.
    std::function<void(std::string&)> spoil;
    bool refuse = false;
    // The connection ends after this many more batches (-1: never).
    int batchesLeft = -1;
    int connections = 0;
};
