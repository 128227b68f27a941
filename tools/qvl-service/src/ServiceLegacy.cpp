// CServiceLegacy: reads and writes the store per function.
#include "ServiceLegacy.h"

#include "ServiceForm.h"

#include <chrono>
#include <cmath>
#include <cstdlib>

namespace {

const char* const kRouteQuery = R"SQL(
SELECT r.r_ID, r.r_VA_ID, r.r_Airline, r.r_Dep, r.r_Arr, r.r_DepTime, r.r_ArrTime, r.r_Route, r.r_Type,
  r.r_ACDB_ID, r.r_AC_ID, r.r_Number, r.r_Price, r.r_Price_Business, r.r_Price_First, r.r_Remarks,
  r.r_Simrate, r.r_FlightType, r.r_technical_stop, r.package_arr,
  l.l_ID, l.l_AC_ID, l.l_User_ID, l.l_Route_ID, l.l_Departure, l.l_Arrival, l.l_Dist, l.l_Duration, l.l_Status,
  l.l_Passengers, l.l_PAX_Economy, l.l_PAX_Business, l.l_PAX_First, l.l_Cargo, l.l_Multiplier, l.l_FlightType,
  l.l_Lon, l.l_Lat, l.l_FlightState, CAST(strftime('%s','now') AS INTEGER) AS l_Timestamp, l.package_kg,
  l.crew_wt, l.pax_reduce, l.crew_type,
  a.a_ID, a.a_ACDB_ID, a.a_Location, a.a_Owner, a.a_Status, a.a_Registration, a.a_Type, a.a_Description,
  a.a_Value, a.a_Fuel, a.a_StateEng1, a.a_StateGear, a.a_StateHull, a.a_FuelMult, a.location_lat,
  a.location_lon, a.location_heading, a.location_altitude, a.ac_va_id,
  v.v_ID, v.v_Name, v.v_Reputation, v.v_Pilotcharge, v.v_hour_rate, v.v_Multiplier,
  d.d_Price, d.d_DOW, d.d_MTOW, d.d_Engines, d.d_MLW, d.d_heavy, d.d_float_plane, d.d_fuel, d.d_speed,
  d.d_range, d.d_MZFW, d.d_cargo, d.d_flight_crew, d.d_Ticket,
  ad.lat AS ad_lat, ad.lon AS ad_lon, ad.fuel AS ad_fuel, ad.size AS ad_size,
  aa.lat AS aa_lat, aa.lon AS aa_lon, aa.fuel AS aa_fuel, aa.size AS aa_size
FROM flight_logs l
JOIN routes r ON r.r_ID = l.l_Route_ID
JOIN aircraft a ON a.a_ID = CAST(l.l_AC_ID AS INTEGER)
JOIN airlines v ON v.v_ID = a.ac_va_id
JOIN aircraft_types d ON d.d_ID = CAST(a.a_ACDB_ID AS INTEGER)
LEFT JOIN airports ad ON ad.icao = l.l_Departure
LEFT JOIN airports aa ON aa.icao = l.l_Arrival
WHERE l.l_User_ID = ? AND l.booked = 1
ORDER BY l.l_ID DESC LIMIT 1
)SQL";

// Fields must not break the frame.
std::string clean(const std::string& s)
{
    std::string out = s;
    for (char& c : out) {
        if (c == '|' || c == '\n' || c == '\r')
            c = ' ';
    }
    return out;
}

double number(const std::string& s)
{
    return std::strtod(s.c_str(), nullptr);
}

} // namespace

std::string CServiceLegacy::word(const std::string& result)
{
    return "DATASTART\n" + result + "\n";
}

std::string CServiceLegacy::table(const CServiceStore::Table& t)
{
    std::string out = "DATASTART\nSUCCESS\n";
    for (std::size_t i = 0; i < t.columns.size(); ++i)
        out.append(i ? "|" : "").append(clean(t.columns[i]));
    out += "\n";
    for (const auto& row : t.rows) {
        for (std::size_t i = 0; i < row.size(); ++i)
            out.append(i ? "|" : "").append(clean(row[i]));
        out += "\n";
    }
    return out + "DATAEND\n";
}

std::string CServiceLegacy::handle(const std::string& body)
{
    const CServiceForm form(body);
    const std::string function = form.get("function");
    if (function == "getversion")
        return getVersion();
    if (function == "gettimestamp")
        return getTimestamp();
    if (function == "getfuelprice")
        return getFuelPrice(form);
    if (function == "getnews")
        return getNews();
    if (function == "getroute")
        return getRoute(form);
    if (function == "getclosestairport2")
        return getClosestAirport(form);
    static const char* const kChanging[] = {"resetflight",      "resetpositionlog", "writelog",   "updateawards",
                                            "writepositionlog", "writeeventlog",    "writereport"};
    for (const char* f : kChanging) {
        if (function == f)
            return changeData(function, form);
    }
    return word("INVALID");
}

std::string CServiceLegacy::getVersion()
{
    return table(db.query("SELECT (SELECT value FROM settings WHERE key='Version') AS Version,"
                          " (SELECT value FROM settings WHERE key='BetaVersion') AS BetaVersion,"
                          " (SELECT value FROM settings WHERE key='FSUIPC_FS2004') AS FSUIPC_FS2004,"
                          " (SELECT value FROM settings WHERE key='FSUIPC_FSX') AS FSUIPC_FSX,"
                          " (SELECT value FROM settings WHERE key='SimConnect') AS SimConnect"));
}

std::string CServiceLegacy::getTimestamp()
{
    return table(db.query("SELECT CAST(strftime('%s','now') AS INTEGER) AS \"UNIX_TIMESTAMP()\""));
}

std::string CServiceLegacy::getFuelPrice(const CServiceForm& form)
{
    const auto t = db.query("SELECT printf('%.3f', fuel) AS fuel FROM airports WHERE icao = ?", {form.get("icao")});
    return t.rows.empty() ? word("NOT FOUND") : table(t);
}

std::string CServiceLegacy::getNews()
{
    return table(db.query("SELECT ID, Header, Text FROM news ORDER BY ID DESC LIMIT 1"));
}

std::string CServiceLegacy::getRoute(const CServiceForm& form)
{
    const auto pilot = pilotOfToken(form.get("QVL_TOKEN"));
    if (!pilot)
        return word("NO USER");
    const auto t = db.query(kRouteQuery, {*pilot});
    return t.rows.empty() ? word("NOT FOUND") : table(t);
}

std::string CServiceLegacy::getClosestAirport(const CServiceForm& form)
{
    const double lon1 = number(form.get("Lon1")), lon2 = number(form.get("Lon2"));
    const double lat1 = number(form.get("Lat1")), lat2 = number(form.get("Lat2"));
    if (!std::isfinite(lon1 + lon2 + lat1 + lat2))
        return word("INVALID");
    const double lonC = (lon1 + lon2) / 2, latC = (lat1 + lat2) / 2;
    // Nearest first, bounded so the answer stays well inside the client's buffer.
    return table(db.query("SELECT lon, lat, rowid AS id, icao, printf('%.3f', fuel) AS fuel, size FROM airports"
                          " WHERE lon BETWEEN ? AND ? AND lat BETWEEN ? AND ?"
                          " ORDER BY (lon-?)*(lon-?)+(lat-?)*(lat-?) LIMIT 200",
                          {std::to_string(lon1), std::to_string(lon2), std::to_string(lat1), std::to_string(lat2),
                           std::to_string(lonC), std::to_string(lonC), std::to_string(latC), std::to_string(latC)}));
}

std::optional<std::string> CServiceLegacy::pilotOfToken(const std::string& token)
{
    if (token.empty())
        return std::nullopt;
    return db.scalar("SELECT pilot_id FROM tokens WHERE token = ?", {token});
}

bool CServiceLegacy::logOfPilot(const std::string& logId, const std::string& pilot)
{
    return db.scalar("SELECT 1 FROM flight_logs WHERE l_ID = ? AND l_User_ID = ?", {logId, pilot}).has_value();
}

std::string CServiceLegacy::changeData(const std::string& function, const CServiceForm& form)
{
    if (!form.codeMatches())
        return word("WRONG CODE");
    const auto pilot = pilotOfToken(form.get("QVL_TOKEN"));
    if (!pilot)
        return word("NO USER");
    if (function == "writereport")
        return writeReport(*pilot, form);
    if (function == "writepositionlog")
        return writePosition(*pilot, form);
    if (function == "writelog")
        return writeTracker(*pilot, form);
    if (function == "writeeventlog")
        return writeEvent(form);
    if (function == "resetpositionlog" && !logOfPilot(form.get("logid"), *pilot))
        return word("NO LOG");
    db.recordUpload(function, form.asMap());
    return word("SUCCESS") + "DATAEND\n";
}

std::string CServiceLegacy::writeTracker(const std::string& pilot, const CServiceForm& form)
{
    db.recordUpload("writelog", form.asMap());
    db.exec("UPDATE flight_logs SET l_Lon = ?, l_Lat = ?, l_FlightState = ? WHERE l_User_ID = ? AND booked = 1",
            {form.get("Lon"), form.get("Lat"), form.get("FlightState"), pilot});
    return word("SUCCESS") + "DATAEND\n";
}

std::string CServiceLegacy::writePosition(const std::string& pilot, const CServiceForm& form)
{
    if (!logOfPilot(form.get("LogId"), pilot))
        return word("NO LOG");
    // A flight started again on its booking resets the position log and numbers from 0.
    const std::string log = form.get("LogId");
    const std::string reset = db.scalar("SELECT coalesce(max(u.id), 0) FROM uploads u JOIN upload_fields f"
                                        " ON f.upload_id = u.id WHERE u.kind = 'resetpositionlog'"
                                        " AND f.key = 'logid' AND f.value = ?",
                                        {log})
                                  .value_or("0");
    if (!isRepeat("writepositionlog", "LogId", log, "PositionId", form.get("PositionId"), reset))
        db.recordUpload("writepositionlog", form.asMap());
    return word("SUCCESS") + "DATAEND\n";
}

std::string CServiceLegacy::writeEvent(const CServiceForm& form)
{
    // Only a numbered event of a known report can be recognised.
    const std::string report = form.get("reportid"), number = form.get("eventid");
    const auto since = db.scalar("SELECT upload_id FROM reports WHERE ReportId = ?", {report});
    if (!since || number.empty() || !isRepeat("writeeventlog", "reportid", report, "eventid", number, *since))
        db.recordUpload("writeeventlog", form.asMap());
    return word("SUCCESS") + "DATAEND\n";
}

bool CServiceLegacy::isRepeat(const std::string& kind, const std::string& key1, const std::string& value1,
                              const std::string& key2, const std::string& value2, const std::string& since)
{
    return db
        .scalar("SELECT 1 FROM uploads u JOIN upload_fields a ON a.upload_id = u.id"
                " JOIN upload_fields b ON b.upload_id = u.id WHERE u.kind = ? AND a.key = ? AND a.value = ?"
                " AND b.key = ? AND b.value = ? AND u.id > CAST(? AS INTEGER) LIMIT 1",
                {kind, key1, value1, key2, value2, since})
        .has_value();
}

std::string CServiceLegacy::writeReport(const std::string& pilot, const CServiceForm& form)
{
    const std::string logId = form.get("LogID");
    if (!logOfPilot(logId, pilot))
        return word("NO LOG");
    if (db.scalar("SELECT ReportId FROM reports WHERE log_id = ?", {logId}))
        return word("ALREADY UPLOADED");
    const std::int64_t upload = db.recordUpload("writereport", form.asMap());
    db.exec("INSERT INTO reports(ReportId, log_id, upload_id) VALUES("
            "(SELECT max(coalesce(max(ReportId), 0), 70000) + 1 FROM reports), ?, ?)",
            {logId, std::to_string(upload)});
    // The aircraft carries its wear and fuel into the next booking.
    db.exec("UPDATE aircraft SET a_StateEng1 = ?, a_StateGear = ?, a_StateHull = ?, a_Fuel = ?, a_Location = ?"
            " WHERE a_ID = (SELECT CAST(l_AC_ID AS INTEGER) FROM flight_logs WHERE l_ID = ?)",
            {form.get("a_StateEng1"), form.get("a_StateGear"), form.get("a_StateHull"), form.get("a_Fuel"),
             form.get("Arr"), logId});
    db.exec("UPDATE flight_logs SET l_Status = 'reported' WHERE l_ID = ?", {logId});
    return table(db.query("SELECT ReportId FROM reports WHERE log_id = ?", {logId}));
}
