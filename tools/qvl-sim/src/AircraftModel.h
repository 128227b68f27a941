// The stand-in's aircraft: position, height, speeds, fuel, switches and the
// simulator clock, moved forward in fixed steps so the same scenario time
// always gives the same state.
#pragma once

#include "SimScenario.h"

#include <cstdint>

struct SimAircraftState {
    double lat = 0.0, lon = 0.0, headingDeg = 0.0;
    double altitudeFt = 0.0; // above sea level
    double groundFt = 0.0;   // ground elevation below the aircraft
    double iasKts = 0.0, gsKts = 0.0, vsFpm = 0.0, touchdownVsFpm = 0.0;
    bool onGround = true, parkingBrake = true, gearDown = true, landingLights = false, crashed = false;
    int lightBits = 0;  // nav 0x01, beacon 0x02, landing 0x04, strobe 0x10
    double flaps = 0.0; // 0..1
    bool enginesRunning = false;
    std::uint8_t engineFailureBits = 0;
    bool flapsStuck = false, gearStuck = false;
    double tankGallons[11] = {};
    double simRate = 1.0;
    bool paused = false;
    bool slew = false;
    bool slewForbidden = false; // the client asked for slew to be disabled
    int surfaceType = 4;
    double simSeconds = 0.0;        // scenario time, advances with the rate, stops while paused
    double flightTimeSeconds = 0.0; // the simulator's own counter
    double magVarDeg = 0.0;
};

class CAircraftModel {
public:
    static constexpr double kStepSeconds = 0.1;

    explicit CAircraftModel(const SimScenario& scenario);

    // One fixed step of `seconds` of real time (scaled by the simulation rate).
    void step(double seconds);

    SimAircraftState& state() { return s; }
    const SimAircraftState& state() const { return s; }
    const SimScenario& scenario() const { return sc; }

    // Derived values.
    double heightAboveGroundFt() const { return s.altitudeFt - s.groundFt; }
    double totalFuelGallons() const;
    double payloadKg() const;
    std::int64_t utcSeconds() const;
    std::int64_t localSeconds() const;
    // Great-circle distance to the arrival (nm); -1 when the scenario has none.
    double distanceToArrivalNm() const;
    double bearingToArrivalDeg() const;

    // Instant changes of the injections and the pilot-robot.
    void moveTo(double lat, double lon);
    void touchDown();

    static double distanceNm(double lat1, double lon1, double lat2, double lon2);
    static double bearingDeg(double lat1, double lon1, double lat2, double lon2);

private:
    void moveAlongHeading(double seconds);
    void burnFuel(double seconds);
    void updateGround();

    SimScenario sc;
    SimAircraftState s;
    double settleLeft = 0.0; // the gear takes the sink for a moment after touchdown
};
