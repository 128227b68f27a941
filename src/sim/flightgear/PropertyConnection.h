// One connection to FlightGear's property server in data mode: a batch of
// gets written at once and its answers read back, so the server, which
// answers once a frame, costs one frame per batch; sets go without answers.
#pragma once

#include "platform/TcpNetwork.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

class PropertyConnection {
public:
    // Connects and switches to data mode; false with the reason in `error`.
    bool open(const std::string& host, std::uint16_t port, int waitMs, std::string& error);
    void close();
    bool isOpen() const { return stream != nullptr; }

    // The answers to `paths`, in order, nothing for a missing node; false
    // (and the connection closed) when they do not all come within `waitMs`
    // or the server sends what is no answer.
    bool getAll(const std::vector<std::string>& paths, std::vector<std::optional<std::string>>& answers,
                int waitMs, std::string& error);
    bool set(const std::string& path, const std::string& value);

private:
    bool fail(std::string& error, const std::string& why);

    std::unique_ptr<TcpStream> stream;
    std::string pending;
};
