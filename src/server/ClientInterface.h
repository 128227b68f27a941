// The client's one connection object to the service: server address, token,
// request number, machine identifier, and the booked flight's records with
// the airport list.
#pragma once

#include "core/DebugLog.h"
#include "server/BackgroundSender.h"
#include "server/EventRecord.h"
#include "server/JsonEndpoint.h"
#include "server/LegacyEndpoint.h"
#include "server/LegacyResult.h"
#include "server/Records.h"
#include "server/ServerSettings.h"

#include <cstdint>
#include <list>
#include <map>
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
    // Initial course from the first point to the second, 0 to below 360 degrees.
    static double bearingDeg(double lat1, double lon1, double lat2, double lon2);
    // Distance to the entry named l_Arrival (latitude/longitude 0 when unknown).
    double distanceToArrival(double lat, double lon) const;
    // Bearing to the entry named r_Arr (latitude/longitude 0 when unknown).
    double bearingToArrival(double lat, double lon) const;
    // code is one of the route's technical stops (blank or comma separated).
    bool isTechnicalStop(std::string_view code) const;
    // The airport the aircraft stands at, from the airport list only: the
    // departure or arrival within 5 nm, then the caller's arrival distance, a
    // technical stop or earlier divert airport, then the nearest entry (which
    // strict mode accepts only within 5 nm). Sets closestAirport and its
    // distance, and the report's divertCode when a technical stop is passed.
    bool findClosestAirport(bool strict, double lon, double lat, double arrivalDistance);

    // --- the booked flight from the route answer ---
    using Row = std::map<std::string, std::string>;
    // Empties what a route call replaces: route texts and r_Simrate, the whole
    // flight log, the aircraft's numbers and texts, the airline (v_ID "0").
    void clearBooking();
    // Reads the first data row of a route answer into the records: passenger
    // reduction, airports, routeDistance, fuelAtFetch and the fuel multiplier.
    void readRouteRow(const Row& row);
    float lastFuelPrice = 0.0f;

    // Closest airport to a position: the booking's list first (strict), then the
    // service's lookup around the position.
    int getClosestAirport(double lon, double lat, double arrivalDistance);

    const std::string& getServerUrl() const { return serverUrl; }
    void setServerUrl(const std::string& url);
    // The server address for an AltServer choice, and the extra trusted
    // authority for the transport.
    void applyServerSettings(const CServerSettings& settings, long altServer);

    // --- service calls (login, information, uploads) ---
    struct News {
        std::int32_t ID = 0;
        char Header[1024] = {};
        char Text[2056] = {};
    };
    News news;
    PositionRecord position{}; // the current position record
    char system[9] = {};       // machine identifier, eight upper-case hex digits
    std::int32_t intern_ts = 0;

    bool isServiceReachable();
    int getVersion();
    int getTimestamp();
    double getFuelPrice(const std::string& icao);
    int getNews();
    // 0 with the token stored, -1 without one.
    int login(const std::string& user, const std::string& password);
    int getPilotData();
    int getRoute();
    void getBookedAirports();
    void resetFlight();
    void resetPositionLog();
    // Queued for the background sender; always true.
    bool writeLog();
    bool updateAwards();
    // The awards call on this thread, for a caller that must know it arrived.
    bool sendAwards();
    bool writePositionLog();
    // number: the event's place among the flight's events, so that the
    // service can tell a repeat after a lost answer.
    bool writeEventLog(const CEventRecord& event, std::int32_t number);
    bool writeReport(bool manualUpload);
    // What the upload fills into a report's empty fuel price and departure times.
    static void fillReportDefaults(Tervix_Reports& report, std::int32_t aircraftAirline);

    // One call of the legacy endpoint; its rows serve the lookups below.
    int legacyCall(const std::string& requestText);
    int getText(std::string_view column, int row, char* destination, std::size_t size) const;
    std::int32_t getInt(std::string_view column, int row) const;
    double getDouble(std::string_view column, int row) const;
    float getFloat(std::string_view column, int row) const;
    int getResultCode() const { return legacy.resultCode(); }
    const std::string& getResultText() const { return legacy.resultText(); }
    const std::string& getResultLine() const { return legacy.resultLine(); }
    // The service answered the last call and said no: sending it again
    // cannot change the answer (an expired login can).
    bool wasRefused() const { return isServiceRefusal(getResultCode()); }

    const std::string& getToken() const { return token; }
    void setToken(const std::string& value);
    // Waits for the background sends queued so far (tests, shutdown).
    bool waitForBackgroundSends(std::uint32_t timeoutMs) { return sender.waitIdle(timeoutMs); }
    // At exit: what is queued gets graceMs, then the sender ends.
    void stopBackgroundSends(std::uint32_t graceMs) { sender.stop(graceMs); }

private:
    bool setClosestAirport(const std::string& code, double distance);

    std::list<CAirport> airports; // newest first
    std::string serverUrl;
    CDebugLog log;

    // Network side; constructed after the log they write to.
    std::string token; // up to 128 characters
    CLegacyEndpoint legacy{log};
    CJsonEndpoint json{log};
    CBackgroundSender sender;
};
