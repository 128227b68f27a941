// CVariableTable: where each rule variable takes its value from.
#include "monitor/blackbox/VariableTable.h"

#include "server/ClientInterface.h"
#include "sim/FlightSimulatorObjects.h"

#include <cstring>

namespace Blackbox {

namespace {

template <std::size_t N> void setField(CStringValue& v, const char (&field)[N])
{
    v.set(field, strnlen(field, N));
}

} // namespace

CVariableTable::CVariableTable() = default;

void CVariableTable::update(const CFlightSimulatorObjects* s, const CClientInterface& booking)
{
    if (s != nullptr) {
        ias.set(s->lIndicatedAirspeed);
        landingLights.set(s->bLandingLights ? 1.0 : 0.0);
        gear.set(s->bGearDown ? 1.0 : 0.0);
        flaps.set(s->fFlaps);
        altitudeStd.set(s->dAltitude);
        altitudeAgl.set(s->lRadarAltitude);
        vs.set(s->lVerticalSpeed);
        groundSpeed.set(s->lGroundSpeed);
        flightState.set(s->lFlightPhase);
        setField(closestAirport, s->szClosestAirport);
    }
    setField(aircraftType, booking.aircraft.a_Type);
    setField(destination, booking.route.r_Arr);
}

CVariableTable::Entry CVariableTable::find(const std::string& name)
{
    const Entry all[] = {
        {"ias", &ias},
        {"landinglights", &landingLights},
        {"gear", &gear},
        {"flaps", &flaps},
        {"altitudestd", &altitudeStd},
        {"altitudeagl", &altitudeAgl},
        {"vs", &vs},
        {"groundspeed", &groundSpeed},
        {"flightstate", &flightState},
        {"aircrafttype", &aircraftType},
        {"destination", &destination},
        {"closestairport", &closestAirport},
    };
    for (const Entry& e : all) {
        if (name == e.name)
            return e;
    }
    return all[0];
}

} // namespace Blackbox
