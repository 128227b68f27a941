// CClientInterface: construction, the airport list and distances.
#include "server/ClientInterface.h"

#include "core/FixedText.h"
#include "core/NumberConversion.h"
#include "core/ServerAddress.h"
#include "core/TextCompare.h"
#include "platform/SystemInfo.h"
#include "server/LeadingNumber.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {
constexpr double kEarthRadiusNm = 3437.7467703360626;
constexpr double kDegToRad = 0.017453292522222223;
} // namespace

CClientInterface::CClientInterface() : serverUrl(CServerAddress::kDefaultUrl), log("CClientInterface")
{
    copyText(airline.v_ID, "0");
    // The entry seeds the generator with the time before the window exists.
    intern_ts = static_cast<std::int32_t>(std::rand() & 0x7fff);
    copyText(system, systemInfo().machineId());
}

CClientInterface::~CClientInterface() = default;

void CClientInterface::setServerUrl(const std::string& url)
{
    serverUrl = url;
}

void CClientInterface::addAirport(double lat, double lon, double fuelPrice, double landingFee,
                                  std::int32_t size, const std::string& code)
{
    for (CAirport& a : airports) {
        if (equalsNoCase(a.code, code)) {
            if (landingFee >= 0.0)
                a.landingFee = landingFee;
            return;
        }
    }
    CAirport a;
    a.code = code.substr(0, 34);
    a.lat = lat;
    a.lon = lon;
    a.fuelPrice = fuelPrice;
    a.landingFee = landingFee;
    a.size = size;
    airports.push_front(std::move(a));
}

const CAirport* CClientInterface::findAirport(std::string_view code) const
{
    for (const CAirport& a : airports) {
        if (equalsNoCase(a.code, code))
            return &a;
    }
    return nullptr;
}

double CClientInterface::distanceNm(double lat1, double lon1, double lat2, double lon2)
{
    const double p1 = lat1 * kDegToRad;
    const double p2 = lat2 * kDegToRad;
    const double sLat = std::sin((p1 - p2) / 2.0);
    const double sLon = std::sin((lon1 * kDegToRad - lon2 * kDegToRad) / 2.0);
    const double h = sLat * sLat + std::cos(p1) * std::cos(p2) * sLon * sLon;
    return 2.0 * kEarthRadiusNm * std::asin(std::sqrt(h < 1.0 ? h : 1.0));
}

double CClientInterface::distanceToArrival(double lat, double lon) const
{
    const CAirport* a = findAirport(fieldText(flightLog.l_Arrival));
    return a != nullptr ? distanceNm(lat, lon, a->lat, a->lon) : distanceNm(lat, lon, 0.0, 0.0);
}

// --- bearings, technical stops, closest airport ---

double CClientInterface::bearingDeg(double lat1, double lon1, double lat2, double lon2)
{
    const double p1 = lat1 * kDegToRad;
    const double p2 = lat2 * kDegToRad;
    const double dl = (lon2 - lon1) * kDegToRad;
    const double y = std::sin(dl) * std::cos(p2);
    const double x = std::cos(p1) * std::sin(p2) - std::sin(p1) * std::cos(p2) * std::cos(dl);
    double deg = std::atan2(y, x) * 180.0 / 3.141592654;
    if (deg < 0.0)
        deg += 360.0;
    if (deg >= 360.0)
        deg -= 360.0;
    return deg;
}

double CClientInterface::bearingToArrival(double lat, double lon) const
{
    const CAirport* a = findAirport(fieldText(route.r_Arr));
    return a != nullptr ? bearingDeg(lat, lon, a->lat, a->lon) : bearingDeg(lat, lon, 0.0, 0.0);
}

bool CClientInterface::isTechnicalStop(std::string_view code) const
{
    return listContainsCode(fieldText(route.r_technical_stop), code);
}

namespace {
constexpr double kAtAirportNm = 5.0;

// An end of the route that is not in the list is never the answer; counting
// it as 1 nm away would place the aircraft there whenever the other end is
// more than 1 nm off.
constexpr double kNotListed = std::numeric_limits<double>::infinity();

struct ClosestSearch {
    double departure = kNotListed;
    double arrival = kNotListed;
    double divert = -1.0;
    double best = -1.0;
    std::string bestCode;
};
} // namespace

bool CClientInterface::findClosestAirport(bool strict, double lon, double lat, double arrivalDistance)
{
    log.debugf("calc closest %0.2lf, %0.2lf", lat, lon);
    const std::string departureCode = fieldText(flightLog.l_Departure);
    const std::string arrivalCode = fieldText(flightLog.l_Arrival);
    ClosestSearch s;
    for (const CAirport& a : airports) {
        if (a.code.empty())
            continue;
        const double d = distanceNm(lat, lon, a.lat, a.lon);
        if (a.code == departureCode)
            s.departure = d;
        if (a.code == arrivalCode)
            s.arrival = d;
        if (equalsNoCase(a.code, fieldText(report.divertCode)))
            s.divert = d;
        if (isTechnicalStop(a.code)) {
            s.divert = d;
            copyText(report.divertCode, a.code);
        }
        if (d < s.best || s.best == -1.0) {
            s.best = d;
            s.bestCode = a.code;
        }
        log.debugf("compare %s %0.2lf %0.2lf (%0.2lf) (%s %0.2lf)", a.code.c_str(), a.lat, a.lon, d,
                   s.bestCode.c_str(), s.best);
    }
    if (s.departure < kAtAirportNm && s.departure < s.arrival)
        return setClosestAirport(departureCode, s.departure);
    if (s.arrival < kAtAirportNm && s.arrival < s.departure)
        return setClosestAirport(arrivalCode, s.arrival);
    if (arrivalDistance > 0.0 && arrivalDistance <= kAtAirportNm)
        return setClosestAirport(arrivalCode, arrivalDistance);
    if (s.divert != -1.0 && s.divert < kAtAirportNm) {
        log.debugf("Divert Airport %s %d %d", report.divertCode, truncToInt32(s.divert),
                   truncToInt32(arrivalDistance));
        return setClosestAirport(fieldText(report.divertCode), s.divert);
    }
    if (s.best == -1.0 || (strict && !(s.best < kAtAirportNm)))
        return false;
    return setClosestAirport(s.bestCode, s.best);
}

bool CClientInterface::setClosestAirport(const std::string& code, double distance)
{
    copyText(closestAirport, code);
    closestAirportDistance = distance;
    return true;
}

// --- the route answer ---

namespace {

using Row = CClientInterface::Row;

std::string_view column(const Row& row, const char* key)
{
    const auto it = row.find(key);
    return it == row.end() ? std::string_view() : std::string_view(it->second);
}

template <std::size_t N>
void readText(const Row& row, const char* key, char (&field)[N])
{
    copyText(field, column(row, key));
}

std::int32_t readInt(const Row& row, const char* key)
{
    return leadingInt(column(row, key));
}

double readDouble(const Row& row, const char* key)
{
    return leadingDouble(column(row, key));
}

float readFloat(const Row& row, const char* key)
{
    return static_cast<float>(readDouble(row, key));
}

void readRouteTexts(const Row& row, Tervix_Routes& r)
{
    readText(row, "r_ID", r.r_ID);
    readText(row, "r_VA_ID", r.r_VA_ID);
    readText(row, "r_Airline", r.r_Airline);
    readText(row, "r_Dep", r.r_Dep);
    readText(row, "r_Arr", r.r_Arr);
    readText(row, "r_DepTime", r.r_DepTime);
    readText(row, "r_ArrTime", r.r_ArrTime);
    readText(row, "r_Route", r.r_Route);
    readText(row, "r_Type", r.r_Type);
    readText(row, "r_ACDB_ID", r.r_ACDB_ID);
    readText(row, "r_AC_ID", r.r_AC_ID);
    readText(row, "r_Number", r.r_Number);
    readText(row, "r_Price", r.r_Price);
    readText(row, "r_Price_Business", r.r_Price_Business);
    readText(row, "r_Price_First", r.r_Price_First);
    readText(row, "r_Remarks", r.r_Remarks);
    r.r_Simrate = readInt(row, "r_Simrate");
    readText(row, "r_FlightType", r.r_FlightType);
    readText(row, "r_technical_stop", r.r_technical_stop);
    readText(row, "package_arr", r.package_arr);
}

void readFlightLog(const Row& row, Tervix_Logs& l)
{
    readText(row, "l_ID", l.l_ID);
    readText(row, "l_AC_ID", l.l_AC_ID);
    readText(row, "l_User_ID", l.l_User_ID);
    readText(row, "l_Route_ID", l.l_Route_ID);
    readText(row, "l_Departure", l.l_Departure);
    readText(row, "l_Arrival", l.l_Arrival);
    readText(row, "l_Dist", l.l_Dist);
    readText(row, "l_Duration", l.l_Duration);
    readText(row, "l_Status", l.l_Status);
    readText(row, "l_Passengers", l.l_Passengers);
    readText(row, "l_PAX_Economy", l.l_PAX_Economy);
    readText(row, "l_PAX_Business", l.l_PAX_Business);
    readText(row, "l_PAX_First", l.l_PAX_First);
    readText(row, "l_Cargo", l.l_Cargo);
    readText(row, "l_Multiplier", l.l_Multiplier);
    readText(row, "l_FlightType", l.l_FlightType);
    readText(row, "l_Lon", l.l_Lon);
    readText(row, "l_Lat", l.l_Lat);
    readText(row, "l_FlightState", l.l_FlightState);
    l.l_Timestamp = readInt(row, "l_Timestamp");
    l.package_kg = readInt(row, "package_kg");
    l.crew_wt = readInt(row, "crew_wt");
    l.pax_reduce = readInt(row, "pax_reduce");
    readText(row, "crew_type", l.crew_type);
}

template <std::size_t N>
void writeInt(char (&field)[N], std::int64_t value)
{
    copyText(field, std::to_string(value));
}

// Seats the service could not sell are taken from economy first, then
// business, then first; no class goes below 0.
void applyPaxReduction(Tervix_Logs& l)
{
    std::int64_t rest = l.pax_reduce;
    std::int64_t counts[3] = {leadingInt(fieldText(l.l_PAX_Economy)), leadingInt(fieldText(l.l_PAX_Business)),
                              leadingInt(fieldText(l.l_PAX_First))};
    for (std::int64_t& c : counts) {
        if (rest <= 0)
            break;
        const std::int64_t taken = c < rest ? (c > 0 ? c : 0) : rest;
        c -= taken;
        rest -= taken;
    }
    writeInt(l.l_PAX_Economy, counts[0]);
    writeInt(l.l_PAX_Business, counts[1]);
    writeInt(l.l_PAX_First, counts[2]);
    writeInt(l.l_Passengers, static_cast<std::int64_t>(leadingInt(fieldText(l.l_Passengers))) - l.pax_reduce);
}

void readAircraft(const Row& row, Tervix_Aircrafts& a)
{
    readText(row, "a_ID", a.a_ID);
    readText(row, "a_ACDB_ID", a.a_ACDB_ID);
    readText(row, "a_Location", a.a_Location);
    readText(row, "a_Owner", a.a_Owner);
    readText(row, "a_Status", a.a_Status);
    readText(row, "a_Registration", a.a_Registration);
    readText(row, "a_Type", a.a_Type);
    readText(row, "a_Description", a.a_Description);
    a.a_Value = readInt(row, "a_Value");
    a.a_Fuel = readInt(row, "a_Fuel");
    a.a_StateEng1 = readFloat(row, "a_StateEng1");
    a.a_StateGear = readFloat(row, "a_StateGear");
    a.a_StateHull = readFloat(row, "a_StateHull");
    a.a_FuelMult = readFloat(row, "a_FuelMult");
    a.location_lat = readDouble(row, "location_lat");
    a.location_lon = readDouble(row, "location_lon");
    a.location_heading = readDouble(row, "location_heading");
    a.location_altitude = readDouble(row, "location_altitude");
    a.ac_va_id = readInt(row, "ac_va_id");
}

void readAirline(const Row& row, Tervix_VirtualAirlines& v)
{
    readText(row, "v_ID", v.v_ID);
    readText(row, "v_Name", v.v_Name);
    v.v_Reputation = readInt(row, "v_Reputation");
    v.v_Pilotcharge = readInt(row, "v_Pilotcharge");
    v.v_hour_rate = readInt(row, "v_hour_rate");
    readText(row, "v_Multiplier", v.v_Multiplier);
}

void readTypes(const Row& row, AircraftTypeData& d)
{
    d.d_Price = readInt(row, "d_Price");
    d.d_DOW = readInt(row, "d_DOW");
    d.d_MTOW = readInt(row, "d_MTOW");
    d.d_Engines = readInt(row, "d_Engines");
    d.d_MLW = readInt(row, "d_MLW");
    d.d_heavy = readInt(row, "d_heavy");
    d.d_float_plane = readInt(row, "d_float_plane");
    d.d_fuel = readInt(row, "d_fuel");
    d.d_speed = readInt(row, "d_speed");
    d.d_range = readInt(row, "d_range");
    d.d_MZFW = readInt(row, "d_MZFW");
    d.d_cargo = readInt(row, "d_cargo");
    d.d_flight_crew = readInt(row, "d_flight_crew");
    d.d_Ticket = readDouble(row, "d_Ticket");
}

// Fuel left in the tanks was bought under the aircraft's own multiplier; when
// that is lower than this flight's, it is worth proportionally less fuel.
void applyFuelMultiplier(Tervix_Aircrafts& a, const Tervix_Logs& l, const Tervix_Routes& r,
                         const Tervix_VirtualAirlines& v)
{
    double q = leadingDouble(fieldText(v.v_Multiplier));
    const double t = leadingDouble(fieldText(l.l_Multiplier));
    if (q == 0.0 || (t > 0.0 && q > t))
        q = t;
    if (leadingInt(fieldText(r.r_FlightType)) == 0 && a.a_FuelMult != 0.0f && a.a_FuelMult < q)
        a.a_Fuel = truncToInt32(a.a_FuelMult * a.a_Fuel / q);
}

} // namespace

void CClientInterface::clearBooking()
{
    std::memset(&route, 0, sizeof route);
    std::memset(&flightLog, 0, sizeof flightLog);
    std::memset(&aircraft, 0, sizeof aircraft);
    std::memset(&airline, 0, sizeof airline);
    copyText(airline.v_ID, "0");
    types = AircraftTypeData{};
}

void CClientInterface::readRouteRow(const Row& row)
{
    readRouteTexts(row, route);
    readFlightLog(row, flightLog);
    applyPaxReduction(flightLog);
    readAircraft(row, aircraft);
    readAirline(row, airline);
    readTypes(row, types);

    const double adLat = readDouble(row, "ad_lat");
    const double adLon = readDouble(row, "ad_lon");
    lastFuelPrice = readFloat(row, "ad_fuel");
    addAirport(adLat, adLon, readDouble(row, "ad_fuel"), -1.0, readInt(row, "ad_size"),
               fieldText(flightLog.l_Departure));
    const double aaLat = readDouble(row, "aa_lat");
    const double aaLon = readDouble(row, "aa_lon");
    addAirport(aaLat, aaLon, readDouble(row, "aa_fuel"), -1.0, readInt(row, "aa_size"),
               fieldText(flightLog.l_Arrival));

    aircraft.routeDistance = distanceNm(adLat, adLon, aaLat, aaLon);
    aircraft.fuelAtFetch = aircraft.a_Fuel;
    applyFuelMultiplier(aircraft, flightLog, route, airline);
}
