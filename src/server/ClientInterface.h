// The client's one connection object to the service: server address, token,
// request number, machine identifier, and the booked flight's records with
// the airport list.
#pragma once

#include "core/DebugLog.h"
#include "server/Records.h"

#include <cstdint>
#include <list>
#include <string>
#include <string_view>

struct CAirport {
    std::string code; // up to 34 characters
    double lat = 0.0;
    double lon = 0.0;
    double fuelPrice = 0.0;
    double landingFee = -1.0; // -1 = no fee given
    std::int32_t size = 0;
};

class CClientInterface {
public:
    enum VersionSlot { VersionClient = 0, VersionBeta, VersionFsuipcFsx, VersionFsuipcFs2004, VersionSimConnect };

    CClientInterface();
    ~CClientInterface();
    CClientInterface(const CClientInterface&) = delete;
    CClientInterface& operator=(const CClientInterface&) = delete;

    // --- the booked flight's records ---
    Tervix_Pilots pilot{};
    Tervix_Routes route{};
    Tervix_Logs flightLog{};
    Tervix_Aircrafts aircraft{};
    Tervix_VirtualAirlines airline{};
    Tervix_Reports report{};
    AircraftTypeData types;
    char versions[6][32] = {};

    // --- the last closest-airport answer ---
    char closestAirport[36] = {};
    double closestAirportDistance = 0.0;

    // --- airports ---
    // Adds an airport at the front, or only updates the landing fee (when the
    // new fee is 0 or more) of an entry with the same code.
    void addAirport(double lat, double lon, double fuelPrice, double landingFee, std::int32_t size,
                    const std::string& code);
    const CAirport* findAirport(std::string_view code) const;
    const std::list<CAirport>& getAirports() const { return airports; }
    void clearAirports() { airports.clear(); }

    static double distanceNm(double lat1, double lon1, double lat2, double lon2);
    // Distance to the entry named l_Arrival (latitude/longitude 0 when unknown).
    double distanceToArrival(double lat, double lon) const;

    // Closest airport to a position: the booking's list first (strict), then the
    // service's lookup around the position.
    int getClosestAirport(double lon, double lat, double arrivalDistance);

    const std::string& getServerUrl() const { return serverUrl; }
    void setServerUrl(const std::string& url);

private:
    std::list<CAirport> airports; // newest first
    std::string serverUrl;
    CDebugLog log;
};
