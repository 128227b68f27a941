// CFlightEvaluation: the steps of the end-of-flight account, in their order.
#include "report/FlightEvaluation.h"

#include "core/ClientConfig.h"
#include "core/FixedText.h"
#include "core/NumberConversion.h"
#include "core/TextCompare.h"
#include "core/Version.h"
#include "report/Report.h"
#include "server/ClientInterface.h"
#include "server/LeadingNumber.h"
#include "sim/FlightSimulatorObjects.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace {

constexpr float kPassengerKg = 102.0f;

template <std::size_t N> void setInt(char (&field)[N], std::int64_t value)
{
    copyText(field, std::to_string(value));
}

template <std::size_t N> void setFixed(char (&field)[N], double value, int decimals)
{
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    copyText(field, r.ec == std::errc() ? std::string_view(buf, static_cast<std::size_t>(r.ptr - buf)) : "0");
}

// A count text as stored in the report: "0" for an empty text.
template <std::size_t N, std::size_t M> void copyCount(char (&dst)[N], const char (&src)[M])
{
    const std::string text = fieldText(src);
    copyText(dst, text.empty() ? "0" : text);
}

struct FeeClass {
    int rate;
    int minimum;
};

FeeClass feeClass(std::int32_t size)
{
    static const FeeClass table[] = {{4, 0}, {4, 25}, {6, 50}, {8, 100}, {12, 200}, {16, 400}};
    if (size < 0)
        return {4, 0};
    // Classes above the table are at least as big as class 5 and pay as it does.
    if (size > 5)
        return table[5];
    return table[size];
}

} // namespace

CFlightEvaluation::CFlightEvaluation(CReport& r, CClientInterface& c, CFlightSimulatorObjects& snapshot)
    : report(r), client(c), s(snapshot), log("CReport", CDebugLog::Quiet{})
{
}

void CFlightEvaluation::run()
{
    fixPosition();
    seatPassengers();
    copyBooking();
    findArrival();
    recordTimes();
    copyLoadAndPrices();
    copyVersionTexts();
    landingScale();
    wearAircraft();
    valueAircraft();
    fuelFigures();
    blendFuelMultiplier();
    checkArrival();
    account();
    client.airline.v_Reputation = 1;
    cleanUpItems();
    rate();
    flightTypeTwo();
}

bool CFlightEvaluation::active(int item) const
{
    return report.getPenalty(item).active != 0;
}

void CFlightEvaluation::fixPosition()
{
    if (s.dLatitude == 0.0 && s.dLongitude == 0.0) {
        s.dLatitude = s.dStartLatitude;
        s.dLongitude = s.dStartLongitude;
    }
}

// Boarded passengers fill first class, then business, then economy.
void CFlightEvaluation::seatPassengers()
{
    Tervix_Logs& l = client.flightLog;
    const std::int64_t boarded = s.lPassengers;
    std::int64_t first = std::min<std::int64_t>(fieldInt(l.l_PAX_First), boarded);
    const std::int64_t left = boarded - first;
    std::int64_t business = std::min<std::int64_t>(fieldInt(l.l_PAX_Business), left);
    std::int64_t economy = std::min<std::int64_t>(fieldInt(l.l_PAX_Economy), left - business);
    setInt(l.l_PAX_Economy, economy);
    setInt(l.l_PAX_Business, business);
    setInt(l.l_PAX_First, first);
    setInt(l.l_Passengers, boarded);
    setInt(l.l_Cargo, s.lCargo);
}

void CFlightEvaluation::copyBooking()
{
    Tervix_Reports& r = client.report;
    copyText(r.AC_Type, fieldText(client.aircraft.a_Type));
    copyText(r.AC_ID, fieldText(client.flightLog.l_AC_ID));
    copyText(r.PIC, fieldText(client.pilot.name) + " " + fieldText(client.pilot.surname));
    copyText(r.Pilot_ID, fieldText(client.pilot.pilot_id));
    copyText(r.PID, fieldText(client.pilot.va_user));
    copyText(r.VA, fieldText(client.airline.v_Name));
    const std::string vaId = fieldText(client.airline.v_ID);
    copyText(r.VA_ID, vaId.empty() ? "0" : vaId);
    copyText(r.Number, fieldText(client.route.r_Number));
    copyText(r.Dep, fieldText(client.flightLog.l_Departure));
    copyText(r.Pln_Arr, fieldText(client.route.r_Arr));
}

void CFlightEvaluation::findArrival()
{
    if (!active(ItemCrashed)) {
        // The closest approach on the ground, not the distance now: a pilot
        // who landed at the booked airport and taxied away still arrived.
        client.getClosestAirport(s.dLongitude, s.dLatitude, s.dClosestArrivalDistance);
    }
    if (client.closestAirport[0] != '\0')
        copyText(client.report.Arr, fieldText(client.closestAirport));
}

void CFlightEvaluation::recordTimes()
{
    Tervix_Reports& r = client.report;
    copyText(r.Arrtime, fieldText(s.szZuluTime));
    r.arriveSeconds = s.dFlightTime;
    log.debug("FlightTimer.dArriveSeconds = " + std::to_string(r.arriveSeconds));
    copyText(r.Loc_Arrtime, fieldText(s.szLocalTime));
    double hours = (r.arriveSeconds - r.departSeconds) / 3600.0;
    // Short hops count as a tenth of an hour; a mere touch-and-go does not.
    if (hours > 0.01 && hours < 0.1)
        hours = 0.1;
    setFixed(r.Hours, hours, 1);
    setInt(r.TS, client.flightLog.l_Timestamp);
    copyText(r.FlightState, "On Block");

    copyText(r.Distance, fieldText(client.flightLog.l_Dist));
    const float distance = static_cast<float>(fieldDouble(r.Distance));
    if (client.types.d_speed > 0) {
        blockHours = distance / static_cast<float>(client.types.d_speed) + 0.5f;
    } else {
        // No cruise speed means a broken booking; charge the fixed half hour only.
        log.warn("Aircraft type without speed, block hours estimated as 0.5");
        blockHours = 0.5f;
    }
}

void CFlightEvaluation::copyLoadAndPrices()
{
    Tervix_Reports& r = client.report;
    const Tervix_Logs& l = client.flightLog;
    copyText(r.PAX, fieldText(l.l_Passengers));
    copyCount(r.PAX_Economy, l.l_PAX_Economy);
    copyCount(r.PAX_Business, l.l_PAX_Business);
    copyCount(r.PAX_First, l.l_PAX_First);
    copyText(r.Ticket, fieldText(client.route.r_Price));
    copyText(r.Ticket_Business, fieldText(client.route.r_Price_Business));
    copyText(r.Ticket_First, fieldText(client.route.r_Price_First));
}

void CFlightEvaluation::copyVersionTexts()
{
    Tervix_Reports& r = client.report;
    copyText(r.Version, kClientVersion);
    if (fieldInt(client.flightLog.l_FlightType) != 0)
        copyText(r.Multiplier, "1");
    else
        copyText(r.Multiplier, fieldText(client.flightLog.l_Multiplier));
    copyText(r.FlightType, fieldText(client.route.r_FlightType));
    copyText(r.Cheat, "");
    r.EmergencyLanding = s.bEmergency;
    copyText(r.OS, CClientConfig::getInstance().getOsName());
    log.debugf("AC State Before (%f,%f,%f)", client.aircraft.a_StateGear, client.aircraft.a_StateHull,
               client.aircraft.a_StateEng1);
}

// How hard the landing was, scaled by the landing weight against the MLW.
void CFlightEvaluation::landingScale()
{
    Tervix_Reports& r = client.report;
    r.VS = s.lLandingVerticalSpeed > 0 ? 0 : s.lLandingVerticalSpeed;
    scalar = std::sqrt(static_cast<float>(fieldDouble(client.flightLog.l_Multiplier))) / 10.0f;
    const float weight = static_cast<float>(client.types.d_DOW) + static_cast<float>(s.lCargo) +
                         static_cast<float>(s.lPassengers) * kPassengerKg + static_cast<float>(s.lFuelOnBoard) +
                         static_cast<float>(s.lPackages);
    const float ratio =
        weight != 0.0f && client.types.d_MLW != 0 ? weight / static_cast<float>(client.types.d_MLW) : 1.0f;
    const float x = std::max(std::sqrt(ratio) * static_cast<float>(std::abs(r.VS)) - 300.0f, 0.0f);
    landScale = std::max(x * x / 17070.71f + 1.0f, 1.0f);
    const float hours = static_cast<float>(fieldDouble(r.Hours));
    duration = hours > 0.0f ? std::min(hours, 24.0f) : 0.0f;
    log.debugf("VS = %d fScalar = %f fLandScale = %f duration %f", r.VS, scalar, landScale, duration);
}

void CFlightEvaluation::wearAircraft()
{
    Tervix_Aircrafts& a = client.aircraft;
    a.a_StateGear -= 0.1f * scalar * landScale;
    a.a_StateEng1 -= 0.02f * scalar * (0.5f * landScale + duration);
    a.a_StateHull -= 0.0125f * scalar * duration + 0.05f * landScale;
    const float touchdown = static_cast<float>(s.lLandingVerticalSpeed);
    if (s.lCrashed != 0 || active(ItemWaterLanding) || active(ItemExhaustedFuel)) {
        const float ias = static_cast<float>(s.lIndicatedAirspeed);
        const float impact = std::sqrt(ias * ias + (touchdown / 100.0f) * (touchdown / 100.0f)) * 0.125f;
        a.a_StateGear -= impact;
        a.a_StateEng1 -= impact;
        a.a_StateHull -= impact;
    } else if (active(ItemGearUpLanding)) {
        a.a_StateHull -= std::abs(touchdown) / 800.0f;
    }
    // A wreck keeps a scrap value.
    a.a_StateGear = std::max(a.a_StateGear, 5.0f);
    a.a_StateEng1 = std::max(a.a_StateEng1, 5.0f);
    a.a_StateHull = std::max(a.a_StateHull, 5.0f);
    log.debugf("AC State After (%f,%f,%f)", a.a_StateGear, a.a_StateHull, a.a_StateEng1);
}

void CFlightEvaluation::valueAircraft()
{
    Tervix_Aircrafts& a = client.aircraft;
    const double price = client.types.d_Price;
    a.a_Value =
        truncToInt32(price * a.a_StateEng1 / 300.0 + price * a.a_StateGear / 300.0 + price * a.a_StateHull / 300.0);
    if (s.lFlightPhase == 8) {
        a.arrivalFuel = 0;
        log.debug("Arrival fuel set to 0, crash detected");
    }
}

void CFlightEvaluation::fuelFigures()
{
    Tervix_Reports& r = client.report;
    const Tervix_Aircrafts& a = client.aircraft;
    fuelPrice = fieldDouble(r.Fuelprice);
    if (a.ac_va_id == 2) {
        // The airline's own aircraft: fuel is not paid per flight.
        copyText(r.Fuelprice, "0.0");
        fuelPrice = 0.0;
    } else if (fuelPrice == 0.0) {
        copyText(r.Fuelprice, "1.4");
        fuelPrice = 1.4;
    }
    const std::int64_t bought = std::max<std::int64_t>(std::int64_t{s.lFuelAtStart} - a.a_Fuel, 0);
    setInt(r.Fuel_Bought, bought);
    setInt(r.Fuel_Used, std::max<std::int64_t>(std::int64_t{s.lFuelAtStart} - a.arrivalFuel, 0));
    r.Fuel_Dep = s.lFuelAtStart;
    r.Fuel_TakeOff = s.lFuelAtTakeoff;
    r.Fuel_Land = s.lFuelAtLanding;
    fuelCost = truncToInt32(static_cast<double>(bought) * fuelPrice * 1.234);
}

// The tanks' multiplier becomes the weighted mean of what was left from
// earlier flights and what this flight put in.
void CFlightEvaluation::blendFuelMultiplier()
{
    Tervix_Aircrafts& a = client.aircraft;
    const double flightMult =
        fieldInt(client.route.r_FlightType) != 0 ? 1.0 : fieldDouble(client.flightLog.l_Multiplier);
    const double old = a.a_FuelMult;
    const double fetched = a.fuelAtFetch;
    const double arrival = a.arrivalFuel;
    double kept = 0.0;  // d: fuel still carrying the old multiplier
    double added = 0.0; // k: fuel carrying this flight's multiplier
    if (flightMult < old) {
        kept = std::min(arrival, fetched);
        added = arrival - kept;
    } else if (flightMult > old) {
        added = std::min(arrival, fetched);
        kept = fetched - added;
    } else {
        kept = fetched;
        added = arrival;
    }
    const double total = kept + added;
    a.a_FuelMult = total != 0.0 ? static_cast<float>((flightMult * added + old * kept) / total) : 0.0f;
}

void CFlightEvaluation::checkArrival()
{
    Tervix_Reports& r = client.report;
    const std::string arr = fieldText(r.Arr);
    const std::string planned = fieldText(client.route.r_Arr);
    if (equalsNoCase(arr, planned) && active(ItemWrongAirport))
        report.removePenalty(ItemWrongAirport);
    noRevenue = active(ItemCrashed) || arr != planned;
    if (noRevenue) {
        copyText(r.Cargo, "0");
        copyText(client.route.r_Price, "0");
        copyText(client.route.r_Price_Business, "0");
        copyText(client.route.r_Price_First, "0");
        copyText(r.Ticket, "0");
        copyText(r.Ticket_Business, "0");
        copyText(r.Ticket_First, "0");
    }
}

void CFlightEvaluation::account()
{
    Tervix_Reports& r = client.report;
    const Tervix_Logs& l = client.flightLog;
    const AircraftTypeData& d = client.types;
    r.landing_fee = landingFee(client, fieldText(r.Dep), d.d_MLW, d.d_Engines) +
                    landingFee(client, fieldText(r.Arr), d.d_MLW, d.d_Engines);

    const double ticket = d.d_Ticket > 0.0 ? d.d_Ticket : 1.0;
    const double economy = fieldInt(l.l_PAX_Economy), business = fieldInt(l.l_PAX_Business),
                 first = fieldInt(l.l_PAX_First);
    const std::int64_t incomeE = truncToInt32(economy * fieldDouble(client.route.r_Price) * ticket);
    const std::int64_t incomeB = truncToInt32(business * fieldDouble(client.route.r_Price_Business) * ticket);
    const std::int64_t incomeF = truncToInt32(first * fieldDouble(client.route.r_Price_First) * ticket);
    double catering = first * 4 + economy + 2 * business;
    if (d.d_Ticket > 1.0)
        catering *= d.d_Ticket;

    const std::int32_t kg = fieldInt(l.l_Cargo);
    const float g = (static_cast<float>(kg) + 2000.0f) * 0.75f / (static_cast<float>(kg) + 1000.0f);
    const std::int32_t cargo =
        noRevenue
            ? 0
            : truncToInt32(static_cast<double>(kg) * g * cargoRate(static_cast<float>(fieldDouble(l.l_Dist))) / 100.0);
    setInt(r.Cargo, cargo);
    setInt(r.Cargo_kg, kg);

    const double bonusFactor = r.Simrate == 1 ? 0.2 : r.Simrate == 2 ? 0.1 : r.Simrate == 4 ? 0.05 : 0.0;
    const double hours = blockHours;
    std::int64_t crew = truncToInt32((l.crew_wt / 85) * 20 * hours + 2 * catering * hours);
    if (d.d_flight_crew > 1)
        crew += truncToInt32((std::sqrt(static_cast<double>(d.d_MTOW)) / 12.0 + 40.0) *
                             ((2.0 * d.d_flight_crew - 1.0) / 3.0) * hours);
    const std::int64_t hourlyPay = truncToInt32(hours * client.airline.v_hour_rate);

    const std::int64_t revenue = incomeE + incomeB + incomeF - crew - fuelCost;
    const std::int64_t p0 =
        truncToInt32(static_cast<double>(revenue + cargo - hourlyPay)) - std::int64_t{r.landing_fee};
    std::int64_t bonus = 0, charge = 0, profit = p0;
    if (p0 > 0) {
        bonus = truncToInt32(static_cast<double>(p0) * bonusFactor);
        charge = truncToInt32(static_cast<double>(p0 + bonus) * client.airline.v_Pilotcharge / 100.0);
        profit = p0 + bonus - charge;
    }
    r.Bonus = truncToInt32(static_cast<double>(bonus));
    r.Salary = truncToInt32(static_cast<double>(std::max<std::int64_t>(charge + hourlyPay, 0)));
    r.Profit = truncToInt32(static_cast<double>(profit));
    r.Crew = truncToInt32(static_cast<double>(crew));
}

void CFlightEvaluation::cleanUpItems()
{
    const bool crashed = active(ItemCrashed);
    const bool water = active(ItemWaterLanding);
    if (crashed || water) {
        report.removePenalty(ItemHardLanding);
        report.removePenalty(ItemVeryHardLanding);
        report.removePenalty(ItemGearUpLanding);
        report.removePenalty(ItemWrongAirport);
        if (crashed && water)
            report.removePenalty(ItemWaterLanding);
    }
    if (active(ItemOverspeedFL100) && active(ItemHighSpeedDisabled))
        report.removePenalty(ItemOverspeedFL100);
    else
        report.removePenalty(ItemHighSpeedDisabled);
    if (active(ItemVeryHardLanding))
        report.removePenalty(ItemHardLanding);
}

void CFlightEvaluation::rate()
{
    std::int64_t rating = 100;
    std::string reasons;
    for (int item = 0; item < ReportItemCount; ++item) {
        const struct_penalty& slot = report.getPenalty(item);
        if (slot.active != 1)
            continue;
        rating -= slot.ratingDeduction;
        reasons += fieldText(slot.text) + " | ";
        client.airline.v_Reputation -= slot.reputationDeduction;
    }
    setInt(client.report.Rating, rating);
    copyText(client.report.Ratingreasons, reasons);
}

// Type 2 flights move the aircraft for the airline: no income, no rating, and
// the pilot pays for the fuel bought.
void CFlightEvaluation::flightTypeTwo()
{
    if (fieldInt(client.flightLog.l_FlightType) != 2)
        return;
    Tervix_Reports& r = client.report;
    copyText(r.Dep, fieldText(client.flightLog.l_Departure));
    copyText(r.Pln_Arr, fieldText(client.flightLog.l_Arrival));
    copyText(r.FlightType, "2");
    r.Bonus = 0;
    r.Crew = 0;
    r.Profit = 0;
    r.Salary = truncToInt32(fieldDouble(r.Fuel_Bought) * fieldDouble(r.Fuelprice) * -1.234);
    copyText(r.Rating, "100");
    client.airline.v_Reputation = 0;
}

std::int32_t CFlightEvaluation::cargoRate(float x)
{
    const float g = 2.0f * std::min(x / 3.0f / 250.0f, 0.296f);
    const float e = 10.0f * std::sqrt(x / 10.0f) + 400.0f;
    const float a = g + (x - 250.0f * g) / e;
    const float k = 0.04f * a;
    // Beyond any distance on Earth the formula turns over; such input earns nothing.
    if (!(k < 1.0f))
        return 0;
    const float v = (247200.0f * k / (1.0f - k) + 500.0f) * 1.234f * 1.4f / 420.0f + 50.0f;
    return truncToInt32(v + 10.0f - 0.1f * v + 0.5f);
}

std::int32_t CFlightEvaluation::landingFee(const CClientInterface& client, const std::string& code, std::int32_t mlw,
                                           std::int32_t engines)
{
    const CAirport* airport = client.findAirport(code);
    if (airport == nullptr)
        return 0;
    if (airport->landingFee >= 0.0)
        return truncToInt32(airport->landingFee * 0.5);
    const FeeClass c = feeClass(airport->size);
    const std::int32_t fee = truncToInt32(static_cast<double>(mlw) * c.rate / 2000.0);
    if (fee < c.minimum)
        return c.minimum;
    if (engines == 1 && mlw < 2500)
        return fee / 2;
    return fee;
}
