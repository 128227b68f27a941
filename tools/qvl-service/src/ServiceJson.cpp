// CServiceJson: property_tree reads the login body; answers are written by
// hand so numbers go out as JSON numbers.
#include "ServiceJson.h"

#include <boost/property_tree/json_parser.hpp>
#include <boost/property_tree/ptree.hpp>

#include <sstream>

std::string CServiceJson::quote(const std::string& text)
{
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            static const char kHex[] = "0123456789abcdef";
            out += "\\u00";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

CServiceJson::Answer CServiceJson::error(int status, const std::string& word)
{
    return Answer{status, "{\"error\":" + quote(word) + "}"};
}

CServiceJson::Answer CServiceJson::login(const std::string& body)
{
    boost::property_tree::ptree request;
    try {
        std::istringstream in(body);
        boost::property_tree::read_json(in, request);
    } catch (const std::exception&) {
        return error(400, "INVALID");
    }
    const std::string user = request.get<std::string>("user", "");
    const std::string password = request.get<std::string>("password", "");
    const auto t = db.query("SELECT pilot_id, salt, pw_hash FROM pilots WHERE user = ?", {user});
    if (t.rows.empty() || CServiceStore::passwordHash(t.rows[0][1], password) != t.rows[0][2])
        return error(401, "BAD LOGINDATA");
    const std::string token = CServiceStore::randomHex(16);
    db.exec("INSERT INTO tokens VALUES(?,?,?,strftime('%s','now'))",
            {token, t.rows[0][0], request.get<std::string>("volume_id", "")});
    return Answer{200, "{\"token\":" + quote(token) + "}"};
}

CServiceJson::Answer CServiceJson::pilot(const std::string& token)
{
    const auto t = db.query("SELECT p.pilot_id, name, surname, va_id, va_user, rank, location, budget, va_status,"
                            " weightunit, premium, alt_code FROM pilots p JOIN tokens t ON t.pilot_id = p.pilot_id"
                            " WHERE t.token = ?",
                            {token});
    if (t.rows.empty())
        return error(404, "NO USER");
    std::string out = "{";
    for (std::size_t i = 0; i < t.columns.size(); ++i)
        out.append(i ? "," : "").append(quote(t.columns[i])).append(":").append(quote(t.rows[0][i]));
    return Answer{200, out + "}"};
}

CServiceJson::Answer CServiceJson::bookedAirports(const std::string& pilotId, const std::string& token)
{
    if (!db.scalar("SELECT 1 FROM tokens WHERE token = ? AND pilot_id = ?", {token, pilotId}))
        return error(403, "NO USER");
    const auto t = db.query("SELECT a.icao, a.lat, a.lon, a.fuel, a.landing_fee, a.name, a.size FROM booked_airports b"
                            " JOIN airports a ON a.icao = b.icao WHERE b.pilot_id = ? ORDER BY a.icao",
                            {pilotId});
    std::string out = "{\"results\":[";
    for (std::size_t r = 0; r < t.rows.size(); ++r) {
        const auto& row = t.rows[r];
        out += std::string(r ? "," : "") + "{\"icao\":" + quote(row[0]) + ",\"lat\":" + row[1] + ",\"lon\":" + row[2] +
               ",\"fuel\":" + row[3] + ",\"landing_fee\":" + row[4] + ",\"name\":" + quote(row[5]) +
               ",\"size\":" + row[6] + "}";
    }
    return Answer{200, out + "]}"};
}
