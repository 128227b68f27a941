// The end-of-flight account: turns the booked flight's records, the snapshot
// and the report items into the report record (times, passengers, landing
// rating, aircraft wear and value, fuel, and the money of the flight). The
// service repeats the account; these figures are the pilot's estimate.
#pragma once

#include "core/DebugLog.h"

#include <cstdint>
#include <string>

class CClientInterface;
class CFlightSimulatorObjects;
class CReport;

class CFlightEvaluation {
public:
    CFlightEvaluation(CReport& report, CClientInterface& client, CFlightSimulatorObjects& snapshot);

    // Every step in order; evaluating again starts from the records as they are.
    void run();

    // Cargo income per 100 kg for a distance in km.
    static std::int32_t cargoRate(float distanceKm);
    // Landing fee of one airport of the airport list for an aircraft type.
    static std::int32_t landingFee(const CClientInterface& client, const std::string& code, std::int32_t mlw,
                                   std::int32_t engines);

private:
    void fixPosition();
    void seatPassengers();
    void copyBooking();
    void findArrival();
    void recordTimes();
    void copyLoadAndPrices();
    void copyVersionTexts();
    void landingScale();
    void wearAircraft();
    void valueAircraft();
    void fuelFigures();
    void blendFuelMultiplier();
    void checkArrival();
    void account();
    void cleanUpItems();
    void rate();
    void flightTypeTwo();

    bool active(int item) const;

    CReport& report;
    CClientInterface& client;
    CFlightSimulatorObjects& s;
    CDebugLog log;

    // Figures carried between the steps.
    float blockHours = 0.0f; // estimated block hours H
    float scalar = 0.0f;     // fScalar
    float landScale = 1.0f;  // fLandScale
    float duration = 0.0f;   // D
    double fuelPrice = 0.0;
    std::int32_t fuelCost = 0;
    bool noRevenue = false;
};
