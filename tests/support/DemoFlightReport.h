// The demo flight as the program tests fly it (the demo's scenario held at the
// stand while the pilot script logs in and fuels up, the demo pilot's
// settings) and the report the service must receive for it, whichever
// platform's client and whichever simulator link flew it.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace DemoFlightReport {

using Fields = std::multimap<std::string, std::string>;

// Scenario seconds per real second.
inline constexpr const char* kTimeScale = "40";
// The scenario's vertical speed at touchdown, ft/min, as the client polls it.
inline constexpr int kTouchdownFpm = -179;

// Writes the demo scenario (`source`, the stand-in's airline_eddf_eddm.json)
// to `target` with the aircraft held at the stand; returns `target`.
std::string writeScenario(const std::string& source, const std::string& target);
// The client's quenvale.ini for the demo pilot against the service.
std::string clientSettings(const std::string& url, const std::string& caFile, const std::string& bridge);
// Uploads of one kind from the service's upload log (qvl-service --upload-log).
std::vector<Fields> readUploads(const std::string& logFile, const std::string& kind);
// The phases the events were recorded in, in flight order.
std::vector<std::string> phasesOf(const std::vector<Fields>& events);
// The report's booking, phases, items, touchdown and money as the Linux
// client's demo flight gives them; `events` are the flight's event uploads,
// `bridge` the simulator link that flew it.
void expectDemoReport(const Fields& report, const std::vector<Fields>& events, const std::string& bridge);

} // namespace DemoFlightReport
