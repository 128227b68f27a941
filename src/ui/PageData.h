// Figures several pages show, read from the booking and the snapshot the same
// way wherever they appear. Sums are 64-bit: service texts saturate at the
// 32-bit range and must not overflow when multiplied.
#pragma once

#include <cstdint>

class CPageView;
class CFlightSimulatorObjects;

namespace PageData {
// The simulator's snapshot, or an empty one while no bridge is installed.
const CFlightSimulatorObjects& snapshot(CPageView& ui);
// Booked passengers and cargo (kg), as the load sheet and the weight checks read them.
std::int64_t passengers(CPageView& ui);
std::int64_t cargoKg(CPageView& ui);
// Passengers, cargo, crew and packages: what the booking loads besides the aircraft.
std::int64_t payloadKg(CPageView& ui);
// Dry operating weight plus the payload.
std::int64_t zeroFuelWeightKg(CPageView& ui);
// The fuel price the pilot pays at the departure (the report's figure).
double fuelPrice(CPageView& ui);
} // namespace PageData
