// The records exchanged with the service and kept byte for byte in the report
// store. Their layouts are a file format: sizes and offsets are pinned below and
// must be identical on every platform.
#pragma once

#include <cstddef>
#include <cstdint>

struct Tervix_Pilots {
    char pilot_id[35];
    char name[125];
    char surname[125];
    char va_id[35];
    char va_user[125];
    char rank[35];
    char location[35];
    char budget[35];
    char va_status[4];
    char weightunit[4];
    char premium[2];
    char alt_code[35];
};
static_assert(sizeof(Tervix_Pilots) == 595);
static_assert(offsetof(Tervix_Pilots, pilot_id) == 0);
static_assert(offsetof(Tervix_Pilots, name) == 35);
static_assert(offsetof(Tervix_Pilots, surname) == 160);
static_assert(offsetof(Tervix_Pilots, va_id) == 285);
static_assert(offsetof(Tervix_Pilots, va_user) == 320);
static_assert(offsetof(Tervix_Pilots, rank) == 445);
static_assert(offsetof(Tervix_Pilots, location) == 480);
static_assert(offsetof(Tervix_Pilots, budget) == 515);
static_assert(offsetof(Tervix_Pilots, va_status) == 550);
static_assert(offsetof(Tervix_Pilots, weightunit) == 554);
static_assert(offsetof(Tervix_Pilots, premium) == 558);
static_assert(offsetof(Tervix_Pilots, alt_code) == 560);

struct Tervix_Routes {
    char r_ID[35];
    char r_VA_ID[35];
    char r_Airline[35];
    char r_Dep[35];
    char r_Arr[35];
    char r_DepTime[5];
    char r_ArrTime[5];
    char r_Route[1000];
    char r_Type[35];
    char r_ACDB_ID[35];
    char r_AC_ID[35];
    char r_Number[35];
    char r_Price[35];
    char r_Price_Business[35];
    char r_Price_First[35];
    char r_Remarks[70];
    std::int32_t r_Simrate;
    char r_FlightType[35];
    char r_technical_stop[256];
    char package_arr[8192];
};
static_assert(sizeof(Tervix_Routes) == 9988);
static_assert(offsetof(Tervix_Routes, r_ID) == 0);
static_assert(offsetof(Tervix_Routes, r_VA_ID) == 35);
static_assert(offsetof(Tervix_Routes, r_Airline) == 70);
static_assert(offsetof(Tervix_Routes, r_Dep) == 105);
static_assert(offsetof(Tervix_Routes, r_Arr) == 140);
static_assert(offsetof(Tervix_Routes, r_DepTime) == 175);
static_assert(offsetof(Tervix_Routes, r_ArrTime) == 180);
static_assert(offsetof(Tervix_Routes, r_Route) == 185);
static_assert(offsetof(Tervix_Routes, r_Type) == 1185);
static_assert(offsetof(Tervix_Routes, r_ACDB_ID) == 1220);
static_assert(offsetof(Tervix_Routes, r_AC_ID) == 1255);
static_assert(offsetof(Tervix_Routes, r_Number) == 1290);
static_assert(offsetof(Tervix_Routes, r_Price) == 1325);
static_assert(offsetof(Tervix_Routes, r_Price_Business) == 1360);
static_assert(offsetof(Tervix_Routes, r_Price_First) == 1395);
static_assert(offsetof(Tervix_Routes, r_Remarks) == 1430);
static_assert(offsetof(Tervix_Routes, r_Simrate) == 1500);
static_assert(offsetof(Tervix_Routes, r_FlightType) == 1504);
static_assert(offsetof(Tervix_Routes, r_technical_stop) == 1539);
static_assert(offsetof(Tervix_Routes, package_arr) == 1795);

struct Tervix_Logs {
    char l_ID[35];
    char l_AC_ID[35];
    char l_User_ID[35];
    char l_Route_ID[35];
    char l_Departure[35];
    char l_Arrival[35];
    char l_Dist[35];
    char l_Duration[35];
    char l_Status[35];
    char l_Passengers[35];
    char l_PAX_Economy[35];
    char l_PAX_Business[35];
    char l_PAX_First[35];
    char l_Cargo[35];
    char l_Multiplier[35];
    char l_FlightType[35];
    char l_Lon[35];
    char l_Lat[35];
    char l_FlightState[35];
    std::int32_t l_Timestamp;
    std::int32_t package_kg;
    std::int32_t crew_wt;
    std::int32_t pax_reduce;
    char crew_type[35];
};
static_assert(sizeof(Tervix_Logs) == 720);
static_assert(offsetof(Tervix_Logs, l_ID) == 0);
static_assert(offsetof(Tervix_Logs, l_AC_ID) == 35);
static_assert(offsetof(Tervix_Logs, l_User_ID) == 70);
static_assert(offsetof(Tervix_Logs, l_Route_ID) == 105);
static_assert(offsetof(Tervix_Logs, l_Departure) == 140);
static_assert(offsetof(Tervix_Logs, l_Arrival) == 175);
static_assert(offsetof(Tervix_Logs, l_Dist) == 210);
static_assert(offsetof(Tervix_Logs, l_Duration) == 245);
static_assert(offsetof(Tervix_Logs, l_Status) == 280);
static_assert(offsetof(Tervix_Logs, l_Passengers) == 315);
static_assert(offsetof(Tervix_Logs, l_PAX_Economy) == 350);
static_assert(offsetof(Tervix_Logs, l_PAX_Business) == 385);
static_assert(offsetof(Tervix_Logs, l_PAX_First) == 420);
static_assert(offsetof(Tervix_Logs, l_Cargo) == 455);
static_assert(offsetof(Tervix_Logs, l_Multiplier) == 490);
static_assert(offsetof(Tervix_Logs, l_FlightType) == 525);
static_assert(offsetof(Tervix_Logs, l_Lon) == 560);
static_assert(offsetof(Tervix_Logs, l_Lat) == 595);
static_assert(offsetof(Tervix_Logs, l_FlightState) == 630);
static_assert(offsetof(Tervix_Logs, l_Timestamp) == 668);
static_assert(offsetof(Tervix_Logs, package_kg) == 672);
static_assert(offsetof(Tervix_Logs, crew_wt) == 676);
static_assert(offsetof(Tervix_Logs, pax_reduce) == 680);
static_assert(offsetof(Tervix_Logs, crew_type) == 684);

struct Tervix_Aircrafts {
    float a_StateEng1;
    float a_StateGear;
    float a_StateHull;
    std::int32_t a_Fuel;
    std::int32_t a_Value;
    char a_ID[35];
    char a_ACDB_ID[35];
    char a_Location[35];
    char a_Owner[51];
    char a_Status[35];
    char a_Registration[35];
    char a_Type[35];
    char a_Description[35];
    char reserved316[256];
    float a_FuelMult;
    std::int32_t fuelAtFetch;
    std::int32_t arrivalFuel;
    double location_lat;
    double location_lon;
    double location_altitude;
    double location_heading;
    std::int32_t ac_va_id;
    char reserved620[4];
    double routeDistance;
};
static_assert(sizeof(Tervix_Aircrafts) == 632);
static_assert(offsetof(Tervix_Aircrafts, a_StateEng1) == 0);
static_assert(offsetof(Tervix_Aircrafts, a_StateGear) == 4);
static_assert(offsetof(Tervix_Aircrafts, a_StateHull) == 8);
static_assert(offsetof(Tervix_Aircrafts, a_Fuel) == 12);
static_assert(offsetof(Tervix_Aircrafts, a_Value) == 16);
static_assert(offsetof(Tervix_Aircrafts, a_ID) == 20);
static_assert(offsetof(Tervix_Aircrafts, a_ACDB_ID) == 55);
static_assert(offsetof(Tervix_Aircrafts, a_Location) == 90);
static_assert(offsetof(Tervix_Aircrafts, a_Owner) == 125);
static_assert(offsetof(Tervix_Aircrafts, a_Status) == 176);
static_assert(offsetof(Tervix_Aircrafts, a_Registration) == 211);
static_assert(offsetof(Tervix_Aircrafts, a_Type) == 246);
static_assert(offsetof(Tervix_Aircrafts, a_Description) == 281);
static_assert(offsetof(Tervix_Aircrafts, a_FuelMult) == 572);
static_assert(offsetof(Tervix_Aircrafts, fuelAtFetch) == 576);
static_assert(offsetof(Tervix_Aircrafts, arrivalFuel) == 580);
static_assert(offsetof(Tervix_Aircrafts, location_lat) == 584);
static_assert(offsetof(Tervix_Aircrafts, location_lon) == 592);
static_assert(offsetof(Tervix_Aircrafts, location_altitude) == 600);
static_assert(offsetof(Tervix_Aircrafts, location_heading) == 608);
static_assert(offsetof(Tervix_Aircrafts, ac_va_id) == 616);
static_assert(offsetof(Tervix_Aircrafts, routeDistance) == 624);

struct Tervix_VirtualAirlines {
    std::int32_t v_Reputation;
    std::int32_t v_Pilotcharge;
    std::int32_t v_hour_rate;
    char v_ID[35];
    char v_Name[51];
    char v_Multiplier[5];
};
static_assert(sizeof(Tervix_VirtualAirlines) == 104);
static_assert(offsetof(Tervix_VirtualAirlines, v_Reputation) == 0);
static_assert(offsetof(Tervix_VirtualAirlines, v_Pilotcharge) == 4);
static_assert(offsetof(Tervix_VirtualAirlines, v_hour_rate) == 8);
static_assert(offsetof(Tervix_VirtualAirlines, v_ID) == 12);
static_assert(offsetof(Tervix_VirtualAirlines, v_Name) == 47);
static_assert(offsetof(Tervix_VirtualAirlines, v_Multiplier) == 98);

struct Tervix_Reports {
    char ReportId[9];
    char AC_Type[35];
    char AC_ID[35];
    char PIC[71];
    char Pilot_ID[35];
    char PID[35];
    char VA[51];
    char VA_ID[35];
    char Number[35];
    char Dep[35];
    char Pln_Arr[35];
    char Arr[35];
    char Deptime[35];
    char Loc_Deptime[35];
    char Arrtime[35];
    char Loc_Arrtime[35];
    char Hours[35];
    char TS[35];
    char FlightState[35];
    std::int32_t VS;
    char Rating[35];
    char Ratingreasons[1024];
    char Distance[35];
    char PAX[35];
    char PAX_Economy[5];
    char PAX_Business[5];
    char PAX_First[5];
    char Ticket[7];
    char Ticket_Business[7];
    char Ticket_First[7];
    std::int32_t Crew;
    std::int32_t Salary;
    char Fuelprice[35];
    char Fuel_Bought[35];
    char Fuel_Used[35];
    std::int32_t Fuel_Dep;
    std::int32_t Fuel_TakeOff;
    std::int32_t Fuel_Land;
    std::int32_t Profit;
    char Version[35];
    std::int32_t Simrate;
    char Multiplier[35];
    std::int32_t Bonus;
    char Cargo[35];
    char Cargo_kg[35];
    char FlightType[35];
    char Comment64[1024];
    char Cheat[1024];
    std::int32_t EmergencyLanding;
    char reserved4236[4];
    double departSeconds;
    double arriveSeconds;
    char reserved4256[16];
    char Interface[32];
    char SimVersion[32];
    char OS[64];
    char divertCode[32];
    std::int32_t deliver_all;
    std::int32_t landing_fee;
};
static_assert(sizeof(Tervix_Reports) == 4440);
static_assert(offsetof(Tervix_Reports, ReportId) == 0);
static_assert(offsetof(Tervix_Reports, AC_Type) == 9);
static_assert(offsetof(Tervix_Reports, AC_ID) == 44);
static_assert(offsetof(Tervix_Reports, PIC) == 79);
static_assert(offsetof(Tervix_Reports, Pilot_ID) == 150);
static_assert(offsetof(Tervix_Reports, PID) == 185);
static_assert(offsetof(Tervix_Reports, VA) == 220);
static_assert(offsetof(Tervix_Reports, VA_ID) == 271);
static_assert(offsetof(Tervix_Reports, Number) == 306);
static_assert(offsetof(Tervix_Reports, Dep) == 341);
static_assert(offsetof(Tervix_Reports, Pln_Arr) == 376);
static_assert(offsetof(Tervix_Reports, Arr) == 411);
static_assert(offsetof(Tervix_Reports, Deptime) == 446);
static_assert(offsetof(Tervix_Reports, Loc_Deptime) == 481);
static_assert(offsetof(Tervix_Reports, Arrtime) == 516);
static_assert(offsetof(Tervix_Reports, Loc_Arrtime) == 551);
static_assert(offsetof(Tervix_Reports, Hours) == 586);
static_assert(offsetof(Tervix_Reports, TS) == 621);
static_assert(offsetof(Tervix_Reports, FlightState) == 656);
static_assert(offsetof(Tervix_Reports, VS) == 692);
static_assert(offsetof(Tervix_Reports, Rating) == 696);
static_assert(offsetof(Tervix_Reports, Ratingreasons) == 731);
static_assert(offsetof(Tervix_Reports, Distance) == 1755);
static_assert(offsetof(Tervix_Reports, PAX) == 1790);
static_assert(offsetof(Tervix_Reports, PAX_Economy) == 1825);
static_assert(offsetof(Tervix_Reports, PAX_Business) == 1830);
static_assert(offsetof(Tervix_Reports, PAX_First) == 1835);
static_assert(offsetof(Tervix_Reports, Ticket) == 1840);
static_assert(offsetof(Tervix_Reports, Ticket_Business) == 1847);
static_assert(offsetof(Tervix_Reports, Ticket_First) == 1854);
static_assert(offsetof(Tervix_Reports, Crew) == 1864);
static_assert(offsetof(Tervix_Reports, Salary) == 1868);
static_assert(offsetof(Tervix_Reports, Fuelprice) == 1872);
static_assert(offsetof(Tervix_Reports, Fuel_Bought) == 1907);
static_assert(offsetof(Tervix_Reports, Fuel_Used) == 1942);
static_assert(offsetof(Tervix_Reports, Fuel_Dep) == 1980);
static_assert(offsetof(Tervix_Reports, Fuel_TakeOff) == 1984);
static_assert(offsetof(Tervix_Reports, Fuel_Land) == 1988);
static_assert(offsetof(Tervix_Reports, Profit) == 1992);
static_assert(offsetof(Tervix_Reports, Version) == 1996);
static_assert(offsetof(Tervix_Reports, Simrate) == 2032);
static_assert(offsetof(Tervix_Reports, Multiplier) == 2036);
static_assert(offsetof(Tervix_Reports, Bonus) == 2072);
static_assert(offsetof(Tervix_Reports, Cargo) == 2076);
static_assert(offsetof(Tervix_Reports, Cargo_kg) == 2111);
static_assert(offsetof(Tervix_Reports, FlightType) == 2146);
static_assert(offsetof(Tervix_Reports, Comment64) == 2181);
static_assert(offsetof(Tervix_Reports, Cheat) == 3205);
static_assert(offsetof(Tervix_Reports, EmergencyLanding) == 4232);
static_assert(offsetof(Tervix_Reports, departSeconds) == 4240);
static_assert(offsetof(Tervix_Reports, arriveSeconds) == 4248);
static_assert(offsetof(Tervix_Reports, Interface) == 4272);
static_assert(offsetof(Tervix_Reports, SimVersion) == 4304);
static_assert(offsetof(Tervix_Reports, OS) == 4336);
static_assert(offsetof(Tervix_Reports, divertCode) == 4400);
static_assert(offsetof(Tervix_Reports, deliver_all) == 4432);
static_assert(offsetof(Tervix_Reports, landing_fee) == 4436);

// One report item slot (penalty or event).
struct struct_penalty {
    std::int32_t active;
    char text[256];
    std::int32_t ratingDeduction;
    std::int32_t reputationDeduction;
};
static_assert(sizeof(struct_penalty) == 268);
static_assert(offsetof(struct_penalty, text) == 4);
static_assert(offsetof(struct_penalty, ratingDeduction) == 260);
static_assert(offsetof(struct_penalty, reputationDeduction) == 264);

// Aircraft-type values of the booking (memory only).
struct AircraftTypeData {
    std::int32_t d_Price = 0;
    std::int32_t d_DOW = 0;
    std::int32_t d_MTOW = 0;
    std::int32_t d_Engines = 0;
    double d_Ticket = 0.0;
    std::int32_t d_MLW = 0;
    std::int32_t d_heavy = 0;
    std::int32_t d_fuel = 0;
    std::int32_t d_range = 0;
    std::int32_t d_speed = 0;
    std::int32_t d_MZFW = 0;
    std::int32_t d_cargo = 0;
    std::int32_t d_flight_crew = 0;
    std::int32_t d_float_plane = 0;
};

// One entry of the flight's event log; zero-filled before it is written.
struct EventRecord {
    std::int32_t flightTime; // seconds since the flight started
    std::int32_t altitude;   // feet
    std::int32_t ias;        // knots
    char phase[10];
    char text[66];
};
static_assert(sizeof(EventRecord) == 88);
static_assert(offsetof(EventRecord, flightTime) == 0);
static_assert(offsetof(EventRecord, altitude) == 4);
static_assert(offsetof(EventRecord, ias) == 8);
static_assert(offsetof(EventRecord, phase) == 12);
static_assert(offsetof(EventRecord, text) == 22);

// One position of the position log, sent at once or queued.
struct PositionRecord {
    std::int32_t Timestamp;
    float Longitude;
    float Latitude;
    std::int32_t Heading;
    std::int32_t Altitude;
    std::int32_t GroundElevation;
    std::int32_t GroundSpeed;
    std::int32_t Fuel;
    std::int32_t SimulationRate;
    std::int32_t PositionId;
};
static_assert(sizeof(PositionRecord) == 40);
static_assert(offsetof(PositionRecord, Timestamp) == 0);
static_assert(offsetof(PositionRecord, Longitude) == 4);
static_assert(offsetof(PositionRecord, Latitude) == 8);
static_assert(offsetof(PositionRecord, Heading) == 12);
static_assert(offsetof(PositionRecord, Altitude) == 16);
static_assert(offsetof(PositionRecord, GroundElevation) == 20);
static_assert(offsetof(PositionRecord, GroundSpeed) == 24);
static_assert(offsetof(PositionRecord, Fuel) == 28);
static_assert(offsetof(PositionRecord, SimulationRate) == 32);
static_assert(offsetof(PositionRecord, PositionId) == 36);

class CFlightSimulatorObjects;

// The aircraft state a resumed flight needs, stored as "AircraftData". Only
// this client reads it back, so the layout is ours; it is spelled out field by
// field so that it does not drift when the snapshot class grows.
struct AircraftData {
    std::int32_t lFlightPhase;
    std::int32_t lCrashed;
    double dLatitude;
    double dLongitude;
    double dHeading;
    double dAltitude;
    double dLastAltitude;
    std::int32_t lRadarAltitude;
    std::int32_t lGroundAltitude;
    std::int32_t lIndicatedAirspeed;
    std::int32_t lGroundSpeed;
    std::int32_t lVerticalSpeed;
    std::int32_t lTouchdownVerticalSpeed;
    std::int32_t lLandingVerticalSpeed;
    std::int32_t lFuelAtStart;
    std::int32_t lFuelAtTakeoff;
    std::int32_t lFuelAtLanding;
    std::int32_t lFuelOnBoard;
    std::int32_t lPassengers;
    std::int32_t lCargo;
    std::int32_t lPackages;
    std::int32_t lExtraFuel;
    std::int32_t lExtraFuelSteps;
    std::int32_t lFlightTimeAtStart;
    std::int32_t lMaxGrossWeight;
    std::int32_t lEmptyWeight;
    std::int32_t lGearChangeCount;
    std::int32_t lAbove500Reported;
    std::int32_t lLeftStartArea;
    double dFlightTime;
    double dStartLatitude;
    double dStartLongitude;
    double dTakeoffTime;
    double dLandingTime;
    double dLastLatitude;
    double dLastLongitude;
    double dLastFlightTime;
    float fSimulationRate;
    std::int16_t nEngines;
    std::uint8_t bEmergency;
    std::uint8_t bOnGround;
    std::uint8_t bParkingBrake;
    std::uint8_t bGearDown;
    std::uint8_t bLandingLights;
    std::uint8_t bLightsOn;
    float fFlaps;
    std::int32_t lSurfaceType;
    std::int32_t lGearRetractable;
    char szClosestAirport[35];
    char szZuluTime[5];
    char szLocalTime[5];
    char reserved269[3];
    std::int32_t nMinFuel;
    std::int32_t nRefuelCount;
    double dPayload;
    char reserved288[48];
    double dClosestArrivalDistance;

    // A zero-filled block holding the snapshot's values.
    static AircraftData fromSnapshot(const CFlightSimulatorObjects& s);
    // Puts the stored values back; fields not stored are left alone.
    void toSnapshot(CFlightSimulatorObjects& s) const;
};
static_assert(sizeof(AircraftData) == 344);
static_assert(offsetof(AircraftData, lFlightPhase) == 0);
static_assert(offsetof(AircraftData, lCrashed) == 4);
static_assert(offsetof(AircraftData, dLatitude) == 8);
static_assert(offsetof(AircraftData, dLongitude) == 16);
static_assert(offsetof(AircraftData, dHeading) == 24);
static_assert(offsetof(AircraftData, dAltitude) == 32);
static_assert(offsetof(AircraftData, dLastAltitude) == 40);
static_assert(offsetof(AircraftData, lRadarAltitude) == 48);
static_assert(offsetof(AircraftData, lGroundSpeed) == 60);
static_assert(offsetof(AircraftData, lFuelAtStart) == 76);
static_assert(offsetof(AircraftData, lPassengers) == 92);
static_assert(offsetof(AircraftData, lMaxGrossWeight) == 116);
static_assert(offsetof(AircraftData, lEmptyWeight) == 120);
static_assert(offsetof(AircraftData, dFlightTime) == 136);
static_assert(offsetof(AircraftData, dLastFlightTime) == 192);
static_assert(offsetof(AircraftData, fSimulationRate) == 200);
static_assert(offsetof(AircraftData, nEngines) == 204);
static_assert(offsetof(AircraftData, bEmergency) == 206);
static_assert(offsetof(AircraftData, fFlaps) == 212);
static_assert(offsetof(AircraftData, szClosestAirport) == 224);
static_assert(offsetof(AircraftData, szZuluTime) == 259);
static_assert(offsetof(AircraftData, szLocalTime) == 264);
static_assert(offsetof(AircraftData, nMinFuel) == 272);
static_assert(offsetof(AircraftData, dPayload) == 280);
static_assert(offsetof(AircraftData, dClosestArrivalDistance) == 336);

// The fuel levels, stored as "TankData": eleven tanks (kg) and the fuel
// outside them.
struct TankData {
    float fTankLevel[11];
    float fFuelOutsideTanks;

    static TankData fromSnapshot(const CFlightSimulatorObjects& s);
    void toSnapshot(CFlightSimulatorObjects& s) const;
    // Sum of the twelve values, +0.5, truncated.
    std::int32_t totalRounded() const;
};
static_assert(sizeof(TankData) == 48);
static_assert(offsetof(TankData, fFuelOutsideTanks) == 44);
