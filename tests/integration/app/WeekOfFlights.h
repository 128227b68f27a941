// The week of flights' pieces, shared by the week of this build's program and
// the first flights of the Windows program under Wine: the pilot's script
// parts, the client program and its simulator per flight, the bookings, and
// what the service's store must hold after each flight.
#pragma once

#include "DemoFlightSetup.h"
#include "support/ClientProgram.h"
#include "support/SimProcess.h"

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace Week {

inline constexpr int kFirstLog = 9001;
inline constexpr int kFlightMs = 900000;

// The pilot's parts. Before each "Fly!" the pilot waits a little while the
// test books the flight and starts its simulator; on the comment page a
// little while the test switches the service's fault.
inline constexpr const char* kLogin = "wait page 0 30\npress 3\nwait page 1 120\n";
inline constexpr const char* kFly =
    "sleep 4\npress 8\nwait page 11 60\npress 15\nwait page 14 60\npress 8\nwait page 5 60\n";
inline constexpr const char* kEnd = "wait page 15 1800\nsleep 2\ntype 116 Another day, another flight.\npress 9\n";
inline constexpr const char* kReportPages = "wait page 7 120\npress 10\nwait page 8 30\npress 10\nwait page 1 150\n";
// Logs that wait for the next login lead its landing to the backup page.
inline constexpr const char* kReportPagesLogsPending =
    "wait page 7 120\npress 10\nwait page 8 30\npress 10\nwait page 12 150\n";

// The Windows program under Wine, against this build's service and qvl-sim,
// whose X-Plane interface it reaches over loopback.
struct WineClient {
    std::string wine;    // wine64
    std::string program; // quenvale.exe
    int xplanePort = 0;
};

class Flights {
public:
    explicit Flights(std::optional<WineClient> wine = std::nullopt);

    DemoFlight::Setup demo;
    std::filesystem::path pilotFolder;
    std::unique_ptr<CSimProcess> sim;

    // A client session flying the pilot's script `text`.
    std::unique_ptr<ClientProgram> client(const std::string& text);
    // Flight `flight` (1-based) booked on the same route, its simulator started.
    bool prepare(int flight, int timeScale) { return book(flight) && startSimulator(timeScale); }
    std::size_t reports() { return demo.store.uploads("writereport").size(); }
    // The backup's generation and flags in the client's settings file.
    long backupGeneration() { return std::atol(setting("Generation").c_str()); }
    bool continueOffered() { return setting("Continue") == "1"; }

private:
    std::string script(const std::string& text);
    bool startSimulator(int timeScale);
    bool book(int flight);
    std::string setting(const std::string& key);
    // A path as the client program names it.
    std::string clientPath(const std::filesystem::path& path) const;

    std::optional<WineClient> wine;
    int session = 0;
};

// One field of an upload, "(missing)" when it has none.
std::string field(const std::multimap<std::string, std::string>& fields, const std::string& name);

// The client's debug-log lines that say why a flight did not go as planned.
std::string debugLines(const std::filesystem::path& folder);

// Waits for `done` while reading the client's output, so that it never
// blocks on a full pipe.
bool waitReading(ClientProgram& client, const std::function<bool()>& done, int timeoutMs);

// What the service holds after `flights` flights, of which the logs of
// `complete` went out in full (awards included).
void expectWeekSoFar(CServiceStore& store, std::size_t flights, std::size_t complete);

// Flights 1 and 2 in one session, the service losing its answers to flight
// 2's logs; then a restart whose login sends them, and flight 3. `client` is
// the second session, whose script goes on with `afterFlight3`.
void flyFirstThree(Flights& week, int timeScale, const std::string& afterFlight3,
                   std::unique_ptr<ClientProgram>& client);

} // namespace Week
