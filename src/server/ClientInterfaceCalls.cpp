// CClientInterface, network side: the service calls for login, information,
// the booked flight, closest airports and every upload.
#include "server/ClientInterface.h"

#include "core/FixedText.h"
#include "core/NumberConversion.h"
#include "core/ServerAddress.h"
#include "server/LeadingNumber.h"
#include "server/LegacyRequest.h"
#include "server/LegacyResult.h"

#include <cstring>

namespace {

constexpr std::size_t kMaxToken = 128;

} // namespace

void CClientInterface::applyServerSettings(const CServerSettings& settings, long altServer)
{
    setServerUrl(settings.urlForAltServer(altServer));
    settings.applyToTransport();
}

void CClientInterface::setToken(const std::string& value)
{
    token = value.substr(0, kMaxToken);
}

// --- legacy endpoint and lookups ---

int CClientInterface::legacyCall(const std::string& requestText)
{
    return legacy.call(serverUrl, requestText);
}

int CClientInterface::getText(std::string_view column, int row, char* destination, std::size_t size) const
{
    return legacy.frame().getText(column, row, destination, size);
}

std::int32_t CClientInterface::getInt(std::string_view column, int row) const
{
    return legacy.frame().getInt(column, row);
}

double CClientInterface::getDouble(std::string_view column, int row) const
{
    return legacy.frame().getDouble(column, row);
}

float CClientInterface::getFloat(std::string_view column, int row) const
{
    return legacy.frame().getFloat(column, row);
}

// --- service information ---

bool CClientInterface::isServiceReachable()
{
    return getVersion() == LegacySuccess;
}

int CClientInterface::getVersion()
{
    const int result = legacyCall(CLegacyRequest("getversion").integer("intern_ts", intern_ts).str());
    if (result == LegacySuccess) {
        getText("Version", 0, versions[VersionClient], sizeof versions[0]);
        getText("BetaVersion", 0, versions[VersionBeta], sizeof versions[0]);
        getText("FSUIPC_FS2004", 0, versions[VersionFsuipcFs2004], sizeof versions[0]);
        getText("FSUIPC_FSX", 0, versions[VersionFsuipcFsx], sizeof versions[0]);
        getText("SimConnect", 0, versions[VersionSimConnect], sizeof versions[0]);
    }
    return result;
}

int CClientInterface::getTimestamp()
{
    const int result = legacyCall(CLegacyRequest("gettimestamp").integer("intern_ts", intern_ts).str());
    if (result == LegacySuccess)
        flightLog.l_Timestamp = getInt("UNIX_TIMESTAMP()", 0);
    return result;
}

double CClientInterface::getFuelPrice(const std::string& icao)
{
    double price = 0.0;
    bool known = false;
    for (const CAirport& a : getAirports()) {
        if (a.code == icao) {
            price = a.fuelPrice;
            known = true;
            break;
        }
    }
    if (!known) {
        CLegacyRequest r("getfuelprice");
        r.text("icao", icao).integer("intern_ts", intern_ts);
        price = legacyCall(r.str()) == LegacySuccess ? getFloat("fuel", 0) : 0.0;
        lastFuelPrice = static_cast<float>(price);
    }
    copyText(report.Fuelprice, CLegacyRequest::formatFixed(price));
    return price;
}

int CClientInterface::getNews()
{
    const int result = legacyCall(CLegacyRequest("getnews").integer("intern_ts", intern_ts).str());
    if (result == LegacySuccess) {
        news.ID = getInt("ID", 0);
        getText("Header", 0, news.Header, sizeof news.Header);
        getText("Text", 0, news.Text, sizeof news.Text);
    }
    return result;
}

// --- login and pilot ---

int CClientInterface::login(const std::string& user, const std::string& password)
{
    token.clear();
    CServerAddress::set(serverUrl);
    CJsonEndpoint::Tree request;
    request.put(CJsonEndpoint::Tree::path_type("user", '\0'), user);
    request.put(CJsonEndpoint::Tree::path_type("password", '\0'), password);
    request.put(CJsonEndpoint::Tree::path_type("volume_id", '\0'), std::string(system));
    CJsonEndpoint::Tree answer;
    if (json.jsonPost("/api/login", request, answer) < 0)
        return -1;
    const std::optional<std::string> value = json.readText(answer, "token");
    if (!value)
        return -1;
    setToken(*value);
    return 0;
}

int CClientInterface::getPilotData()
{
    std::memset(&pilot, 0, sizeof pilot);
    CServerAddress::set(serverUrl);
    CJsonEndpoint::Tree answer;
    if (json.jsonGetPlain("/api/login/" + token, answer) < 0)
        return -1;
    const std::optional<std::string> id = json.readText(answer, "pilot_id");
    if (!id)
        return -1;
    copyText(pilot.pilot_id, *id);
    const auto copyMember = [&](const char* key, char* field, std::size_t size) {
        if (const std::optional<std::string> v = json.readText(answer, key))
            copyText(field, size, *v);
    };
    copyMember("name", pilot.name, sizeof pilot.name);
    copyMember("surname", pilot.surname, sizeof pilot.surname);
    copyMember("va_id", pilot.va_id, sizeof pilot.va_id);
    copyMember("va_user", pilot.va_user, sizeof pilot.va_user);
    copyMember("rank", pilot.rank, sizeof pilot.rank);
    copyMember("location", pilot.location, sizeof pilot.location);
    copyMember("budget", pilot.budget, sizeof pilot.budget);
    copyMember("va_status", pilot.va_status, sizeof pilot.va_status);
    copyMember("weightunit", pilot.weightunit, sizeof pilot.weightunit);
    copyMember("premium", pilot.premium, sizeof pilot.premium);
    copyMember("alt_code", pilot.alt_code, sizeof pilot.alt_code);
    return legacy.resultCode();
}

// --- the booked flight and airports ---

int CClientInterface::getRoute()
{
    clearBooking();
    CLegacyRequest r("getroute");
    r.integer("intern_ts", intern_ts).text("QVL_TOKEN", token);
    const int result = legacyCall(r.str());
    if (result != LegacySuccess)
        return result;
    const CLegacyFrame& frame = legacy.frame();
    Row row;
    if (!frame.rows().empty()) {
        const auto& names = frame.header().fields;
        const auto& values = frame.rows().front().fields;
        for (std::size_t i = 0; i < names.size() && i < values.size(); ++i)
            row.emplace(names[i], values[i]);
    }
    readRouteRow(row);
    getBookedAirports();
    return result;
}

void CClientInterface::getBookedAirports()
{
    CServerAddress::set(serverUrl);
    CJsonEndpoint::Tree answer;
    const std::string path = "/api/pilots/" + fieldText(pilot.pilot_id) + "/booked_airports";
    if (json.jsonGet(path, token, answer) < 0)
        return;
    const auto results = answer.get_child_optional(CJsonEndpoint::Tree::path_type("results", '\0'));
    if (!results)
        return;
    for (const auto& item : *results) {
        const CJsonEndpoint::Tree& a = item.second;
        const std::string icao = json.readText(a, "icao").value_or("").substr(0, 7);
        const double lat = json.readNumber(a, "lat").value_or(0.0);
        const double lon = json.readNumber(a, "lon").value_or(0.0);
        const double fuel = json.readNumber(a, "fuel").value_or(0.0);
        const double fee = json.readNumber(a, "landing_fee").value_or(-1.0);
        json.readText(a, "name");
        const std::int32_t size = json.readInteger(a, "size").value_or(0);
        addAirport(lat, lon, fuel, fee, size, icao);
    }
}

int CClientInterface::getClosestAirport(double lon, double lat, double arrivalDistance)
{
    if (findClosestAirport(true, lon, lat, arrivalDistance))
        return LegacySuccess;
    CLegacyRequest r("getclosestairport2");
    r.fixed("Lon1", lon - 1.5).fixed("Lon2", lon + 1.5).fixed("Lat1", lat - 1.5).fixed("Lat2", lat + 1.5);
    r.integer("intern_ts", intern_ts);
    const int result = legacyCall(r.str());
    if (result == LegacySuccess) {
        const int rows = static_cast<int>(legacy.frame().rows().size());
        for (int i = 0; i < rows; ++i) {
            char icao[35] = {};
            getText("icao", i, icao, sizeof icao);
            addAirport(getDouble("lat", i), getDouble("lon", i), getDouble("fuel", i), -1.0, getInt("size", i), icao);
        }
    }
    findClosestAirport(false, lon, lat, arrivalDistance);
    return result;
}

// --- uploads ---

void CClientInterface::resetFlight()
{
    CLegacyRequest r("resetflight");
    r.integer("intern_ts", intern_ts).text("flighttype", fieldText(route.r_FlightType));
    r.text("QVL_TOKEN", token).integer("intern_ts", intern_ts);
    legacyCall(r.withCode());
}

void CClientInterface::resetPositionLog()
{
    CLegacyRequest r("resetpositionlog");
    r.integer("intern_ts", intern_ts).text("logid", fieldText(flightLog.l_ID));
    r.text("QVL_TOKEN", token).integer("intern_ts", intern_ts);
    if (legacyCall(r.withCode()) != LegacySuccess)
        log.errorf("resetpositionlog: %s", getResultText().c_str());
}

bool CClientInterface::writeLog()
{
    CLegacyRequest r("writelog");
    r.integer("intern_ts", intern_ts).text("QVL_TOKEN", token);
    r.text("Lon", fieldText(flightLog.l_Lon)).text("Lat", fieldText(flightLog.l_Lat));
    r.text("FlightState", fieldText(flightLog.l_FlightState)).text("system", fieldText(system));
    r.integer("fuel", aircraft.a_Fuel);
    CServerAddress::set(serverUrl);
    sender.post(r.withCode());
    return true;
}

bool CClientInterface::updateAwards()
{
    CLegacyRequest r("updateawards");
    r.integer("intern_ts", intern_ts).text("QVL_TOKEN", token);
    CServerAddress::set(serverUrl);
    sender.post(r.withCode());
    return true;
}

bool CClientInterface::sendAwards()
{
    CLegacyRequest r("updateawards");
    r.integer("intern_ts", intern_ts).text("QVL_TOKEN", token);
    if (legacyCall(r.withCode()) == LegacySuccess)
        return true;
    log.errorf("updateawards: %s", getResultText().c_str());
    return false;
}

bool CClientInterface::writePositionLog()
{
    const std::string logId = fieldText(flightLog.l_ID);
    if (!isDecimalInteger(logId)) {
        log.errorf("writepositionlog: flight log id \"%s\" is not a number, position not sent", logId.c_str());
        return false;
    }
    const PositionRecord& p = position;
    CLegacyRequest r("writepositionlog");
    r.integer("intern_ts", intern_ts).text("QVL_TOKEN", token).integer("LogId", leadingInt(logId));
    r.integer("Timestamp", p.Timestamp).fixed("Longitude", p.Longitude).fixed("Latitude", p.Latitude);
    r.integer("Heading", p.Heading).integer("Altitude", p.Altitude).integer("GroundElevation", p.GroundElevation);
    r.integer("GroundSpeed", p.GroundSpeed).integer("SimulationRate", p.SimulationRate);
    r.text("ReportId", fieldText(report.ReportId)).integer("Fuel", p.Fuel).integer("PositionId", p.PositionId);
    if (legacyCall(r.withCode()) == LegacySuccess)
        return true;
    log.errorf("writepositionlog: %s", getResultText().c_str());
    return false;
}

bool CClientInterface::writeEventLog(const CEventRecord& event, std::int32_t number)
{
    CLegacyRequest r("writeeventlog");
    r.integer("intern_ts", intern_ts).text("QVL_TOKEN", token);
    r.integer("timestamp", event.elapsedSeconds).integer("speed", event.airspeed);
    r.text("flightstate", fieldText(event.phaseName)).text("text", fieldText(event.text));
    r.text("reportid", fieldText(report.ReportId)).integer("eventid", number);
    if (legacyCall(r.withCode()) == LegacySuccess)
        return true;
    log.errorf("writeeventlog: %s", getResultText().c_str());
    return false;
}

// --- the report ---

namespace {

void applyReportDefaults(Tervix_Reports& rep, std::int32_t acVaId)
{
    const std::string price = fieldText(rep.Fuelprice);
    // Airline 2 runs without a fuel price on purpose.
    if ((price.empty() || leadingDouble(price) == 0.0) && acVaId != 2)
        copyText(rep.Fuelprice, "1.25");
    if (fieldText(rep.Deptime).empty())
        copyText(rep.Deptime, "0");
    if (fieldText(rep.Loc_Deptime).empty())
        copyText(rep.Loc_Deptime, "0");
}

void addFlightTexts(CLegacyRequest& r, const Tervix_Reports& rep)
{
    r.text("AC_Type", fieldText(rep.AC_Type)).text("AC_ID", fieldText(rep.AC_ID)).text("PIC", fieldText(rep.PIC));
    r.text("Pilot_ID", fieldText(rep.Pilot_ID)).text("PID", fieldText(rep.PID)).text("VA", fieldText(rep.VA));
    r.text("VA_ID", fieldText(rep.VA_ID)).text("Number", fieldText(rep.Number)).text("Dep", fieldText(rep.Dep));
    r.text("Pln_Arr", fieldText(rep.Pln_Arr)).text("Arr", fieldText(rep.Arr)).text("Deptime", fieldText(rep.Deptime));
    r.text("Loc_Deptime", fieldText(rep.Loc_Deptime)).text("Arrtime", fieldText(rep.Arrtime));
    r.text("Loc_Arrtime", fieldText(rep.Loc_Arrtime)).text("Hours", fieldText(rep.Hours)).text("TS", fieldText(rep.TS));
    r.text("FlightState", fieldText(rep.FlightState)).integer("VS", rep.VS).text("Rating", fieldText(rep.Rating));
    r.text("Ratingreasons", fieldText(rep.Ratingreasons)).text("Distance", fieldText(rep.Distance));
    r.text("PAX", fieldText(rep.PAX)).text("Ticket", fieldText(rep.Ticket));
}

void addMoneyAndFuel(CLegacyRequest& r, const Tervix_Reports& rep)
{
    r.integer("Crew", rep.Crew).integer("Salary", rep.Salary).text("Fuelprice", fieldText(rep.Fuelprice));
    r.text("Fuel_Bought", fieldText(rep.Fuel_Bought)).text("Fuel_Used", fieldText(rep.Fuel_Used));
    r.integer("Fuel_Dep", rep.Fuel_Dep).integer("Fuel_TakeOff", rep.Fuel_TakeOff).integer("Fuel_Land", rep.Fuel_Land);
    r.integer("Profit", rep.Profit).text("Version", fieldText(rep.Version)).integer("Simrate", rep.Simrate);
    r.text("Multiplier", fieldText(rep.Multiplier)).integer("Bonus", rep.Bonus).text("Cargo", fieldText(rep.Cargo));
    r.text("Cargo_kg", fieldText(rep.Cargo_kg)).text("FlightType", fieldText(rep.FlightType));
    r.text("Comment64", fieldText(rep.Comment64)).text("Cheat", fieldText(rep.Cheat));
}

} // namespace

bool CClientInterface::writeReport(bool manualUpload)
{
    Tervix_Reports& rep = report;
    applyReportDefaults(rep, aircraft.ac_va_id);
    CLegacyRequest r("writereport");
    r.integer("intern_ts", intern_ts).text("QVL_TOKEN", token);
    addFlightTexts(r, rep);
    addMoneyAndFuel(r, rep);
    r.integer("a_Value", aircraft.a_Value).integer("a_Fuel", aircraft.arrivalFuel);
    r.fixed("a_StateEng1", aircraft.a_StateEng1).fixed("a_StateGear", aircraft.a_StateGear);
    r.fixed("a_StateHull", aircraft.a_StateHull).integer("v_Reputation", airline.v_Reputation);
    const std::int64_t multiplied = static_cast<std::int64_t>(rep.Profit) * leadingInt(fieldText(rep.Multiplier));
    r.integer("ProfitMultiplied", clampToInt32(multiplied)).integer("EmergencyLanding", rep.EmergencyLanding);
    r.integer("LogID", leadingInt(fieldText(flightLog.l_ID))).integer("a_FuelMult", truncToInt32(aircraft.a_FuelMult));
    r.fixed("Ticket_Factor", types.d_Ticket).text("Interface", fieldText(rep.Interface));
    r.text("SimVersion", fieldText(rep.SimVersion)).text("OS", fieldText(rep.OS));
    r.integer("ManualUpload", manualUpload ? 1 : 0).text("system", fieldText(system));
    r.text("PAX_Economy", fieldText(rep.PAX_Economy)).text("PAX_Business", fieldText(rep.PAX_Business));
    r.text("PAX_First", fieldText(rep.PAX_First)).text("Ticket_Business", fieldText(rep.Ticket_Business));
    r.text("Ticket_First", fieldText(rep.Ticket_First));
    r.fixed("location_lat", position.Latitude).fixed("location_lon", position.Longitude);
    r.integer("location_heading", position.Heading).integer("location_altitude", position.Altitude);
    r.integer("deliver_all", rep.deliver_all).integer("landing_fee", rep.landing_fee);

    const int result = legacyCall(r.withCode());
    if (result != LegacySuccess) {
        log.errorf("writereport: %s", std::string(legacyResultText(result)).c_str());
        log.errorf("writereport: %s", getResultText().c_str());
        return false;
    }
    // The backup flags change with the store in the caller's one save.
    getText("ReportId", 0, rep.ReportId, sizeof rep.ReportId);
    return true;
}

void CClientInterface::fillReportDefaults(Tervix_Reports& report, std::int32_t aircraftAirline)
{
    applyReportDefaults(report, aircraftAirline);
}
