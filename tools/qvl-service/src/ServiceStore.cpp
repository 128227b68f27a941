// CServiceStore: one SQLite connection behind a lock (the server answers on a
// thread pool), WAL mode so tests can read while the service writes.
#include "ServiceStore.h"

#include <openssl/evp.h>
#include <openssl/rand.h>
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

// One upload as a line; '%', '&', '=' and line ends in values are escaped.
void appendMirrorLine(const std::string& file, const std::string& kind,
                      const std::multimap<std::string, std::string>& fields)
{
    std::string line = kind + "\t";
    bool first = true;
    for (const auto& [key, value] : fields) {
        line += (first ? "" : "&") + key + "=";
        first = false;
        for (const char c : value) {
            if (c == '%' || c == '&' || c == '=' || c == '\n' || c == '\r' || c == '\t') {
                char escaped[4];
                std::snprintf(escaped, sizeof escaped, "%%%02X", static_cast<unsigned char>(c));
                line += escaped;
            } else {
                line += c;
            }
        }
    }
    std::ofstream(file, std::ios::app) << line << '\n';
}

const char* const kSchema = R"SQL(
CREATE TABLE IF NOT EXISTS settings(key TEXT PRIMARY KEY, value TEXT);
CREATE TABLE IF NOT EXISTS installers(version TEXT, suffix TEXT, path TEXT, PRIMARY KEY(version, suffix));
CREATE TABLE IF NOT EXISTS airlines(v_ID INTEGER PRIMARY KEY, v_Name TEXT, v_Reputation INTEGER,
  v_Pilotcharge INTEGER, v_hour_rate INTEGER, v_Multiplier TEXT);
CREATE TABLE IF NOT EXISTS pilots(pilot_id INTEGER PRIMARY KEY, user TEXT UNIQUE, salt TEXT, pw_hash TEXT,
  name TEXT, surname TEXT, va_id TEXT, va_user TEXT, rank TEXT, location TEXT, budget TEXT, va_status TEXT,
  weightunit TEXT, premium TEXT, alt_code TEXT);
CREATE TABLE IF NOT EXISTS tokens(token TEXT PRIMARY KEY, pilot_id INTEGER, volume_id TEXT, created INTEGER);
CREATE TABLE IF NOT EXISTS aircraft_types(d_ID INTEGER PRIMARY KEY, d_Price INTEGER, d_DOW INTEGER,
  d_MTOW INTEGER, d_Engines INTEGER, d_MLW INTEGER, d_heavy INTEGER, d_float_plane INTEGER, d_fuel INTEGER,
  d_speed INTEGER, d_range INTEGER, d_MZFW INTEGER, d_cargo INTEGER, d_flight_crew INTEGER, d_Ticket REAL);
CREATE TABLE IF NOT EXISTS aircraft(a_ID INTEGER PRIMARY KEY, a_ACDB_ID TEXT, a_Location TEXT, a_Owner TEXT,
  a_Status TEXT, a_Registration TEXT, a_Type TEXT, a_Description TEXT, a_Value INTEGER, a_Fuel INTEGER,
  a_StateEng1 REAL, a_StateGear REAL, a_StateHull REAL, a_FuelMult REAL, location_lat REAL,
  location_lon REAL, location_heading REAL, location_altitude REAL, ac_va_id INTEGER);
CREATE TABLE IF NOT EXISTS routes(r_ID INTEGER PRIMARY KEY, r_VA_ID TEXT, r_Airline TEXT, r_Dep TEXT,
  r_Arr TEXT, r_DepTime TEXT, r_ArrTime TEXT, r_Route TEXT, r_Type TEXT, r_ACDB_ID TEXT, r_AC_ID TEXT,
  r_Number TEXT, r_Price TEXT, r_Price_Business TEXT, r_Price_First TEXT, r_Remarks TEXT, r_Simrate INTEGER,
  r_FlightType TEXT, r_technical_stop TEXT, package_arr TEXT);
CREATE TABLE IF NOT EXISTS flight_logs(l_ID INTEGER PRIMARY KEY, l_AC_ID TEXT, l_User_ID INTEGER,
  l_Route_ID INTEGER, l_Departure TEXT, l_Arrival TEXT, l_Dist TEXT, l_Duration TEXT, l_Status TEXT,
  l_Passengers TEXT, l_PAX_Economy TEXT, l_PAX_Business TEXT, l_PAX_First TEXT, l_Cargo TEXT,
  l_Multiplier TEXT, l_FlightType TEXT, l_Lon TEXT, l_Lat TEXT, l_FlightState TEXT, package_kg INTEGER,
  crew_wt INTEGER, pax_reduce INTEGER, crew_type TEXT, booked INTEGER);
CREATE TABLE IF NOT EXISTS airports(icao TEXT PRIMARY KEY COLLATE NOCASE, name TEXT, lat REAL, lon REAL,
  elevation INTEGER, size INTEGER, fuel REAL, landing_fee REAL);
CREATE INDEX IF NOT EXISTS airports_position ON airports(lat, lon);
CREATE TABLE IF NOT EXISTS booked_airports(pilot_id INTEGER, icao TEXT, UNIQUE(pilot_id, icao));
CREATE TABLE IF NOT EXISTS news(ID INTEGER PRIMARY KEY, Header TEXT, Text TEXT);
CREATE TABLE IF NOT EXISTS requests(id INTEGER PRIMARY KEY, received INTEGER, method TEXT, path TEXT,
  function TEXT, body TEXT);
CREATE TABLE IF NOT EXISTS uploads(id INTEGER PRIMARY KEY, kind TEXT, received INTEGER);
CREATE TABLE IF NOT EXISTS upload_fields(upload_id INTEGER, seq INTEGER, key TEXT, value TEXT);
CREATE INDEX IF NOT EXISTS upload_fields_value ON upload_fields(key, value);
CREATE TABLE IF NOT EXISTS reports(ReportId INTEGER PRIMARY KEY, log_id INTEGER UNIQUE, upload_id INTEGER);
)SQL";

const char* const kSeed = R"SQL(
INSERT OR REPLACE INTO settings VALUES('Version','v2.6.1.0'),('BetaVersion','v2.6.2.0'),
  ('FSUIPC_FS2004','3.999'),('FSUIPC_FSX','4.974'),('SimConnect','10.0.61259.0');
INSERT OR REPLACE INTO airlines VALUES(1,'Quenvale Demo Air',50,10,25,'1.0');
INSERT OR REPLACE INTO aircraft_types VALUES(21,98000000,42600,78000,2,66000,0,0,18700,450,3300,62500,3700,2,1.15);
-- The demo aircraft stays above the wear at which its parts can fail, so a
-- demo flight flies the same way every time.
INSERT OR REPLACE INTO aircraft VALUES(501,'21','EDDF','Quenvale Demo Air','1','D-AQVL','A320','Airbus A320-200',
  45000000,5200,99.5,99.0,98.75,1.0,50.0365,8.5613,250.0,364.0,1);
INSERT OR REPLACE INTO routes VALUES(301,'1','QDA','EDDF','EDDM','0830','0940','ANEKI Y163 NATOR','A320','21',
  '501','QDA100','129','349','0','Demo route',1,'0','','');
INSERT OR REPLACE INTO flight_logs VALUES(9001,'501',1001,301,'EDDF','EDDM','165','70','booked','142','130','12',
  '0','1800','1.0','0','8.5613','50.0365','boarding',0,0,0,'captain',1);
INSERT OR IGNORE INTO booked_airports VALUES(1001,'EDDF'),(1001,'EDDM'),(1001,'LOWW');
INSERT OR REPLACE INTO news VALUES(7,'Welcome to Quenvale','Book a flight on the web site, then fly it here.');
DELETE FROM reports WHERE log_id = 9001;
)SQL";

std::int64_t nowSeconds()
{
    using namespace std::chrono;
    return duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
}

} // namespace

CServiceStore::~CServiceStore()
{
    if (db != nullptr)
        sqlite3_close(db);
}

bool CServiceStore::open(const std::string& path)
{
    std::lock_guard<std::recursive_mutex> lock(mutex);
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) {
        lastError = db != nullptr ? sqlite3_errmsg(db) : "cannot open database";
        return false;
    }
    sqlite3_busy_timeout(db, 5000);
    return exec("PRAGMA journal_mode=WAL") && exec("PRAGMA synchronous=NORMAL");
}

bool CServiceStore::bind(void* statement, const std::vector<Value>& params)
{
    auto* st = static_cast<sqlite3_stmt*>(statement);
    for (std::size_t i = 0; i < params.size(); ++i) {
        const int index = static_cast<int>(i) + 1;
        const int rc = params[i] ? sqlite3_bind_text(st, index, params[i]->c_str(), static_cast<int>(params[i]->size()),
                                                     SQLITE_TRANSIENT)
                                 : sqlite3_bind_null(st, index);
        if (rc != SQLITE_OK)
            return false;
    }
    return true;
}

bool CServiceStore::exec(const std::string& sql, const std::vector<Value>& params)
{
    std::lock_guard<std::recursive_mutex> lock(mutex);
    if (params.empty()) {
        char* message = nullptr;
        if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
            lastError = message != nullptr ? message : "exec failed";
            sqlite3_free(message);
            return false;
        }
        return true;
    }
    Table ignored = query(sql, params);
    return lastError.empty();
}

CServiceStore::Table CServiceStore::query(const std::string& sql, const std::vector<Value>& params)
{
    std::lock_guard<std::recursive_mutex> lock(mutex);
    Table table;
    lastError.clear();
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK || !bind(st, params)) {
        lastError = sqlite3_errmsg(db);
        sqlite3_finalize(st);
        return table;
    }
    const int columns = sqlite3_column_count(st);
    for (int c = 0; c < columns; ++c)
        table.columns.emplace_back(sqlite3_column_name(st, c));
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        std::vector<std::string> row;
        for (int c = 0; c < columns; ++c) {
            const unsigned char* text = sqlite3_column_text(st, c);
            row.emplace_back(text != nullptr ? reinterpret_cast<const char*>(text) : "");
        }
        table.rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE)
        lastError = sqlite3_errmsg(db);
    sqlite3_finalize(st);
    return table;
}

CServiceStore::Value CServiceStore::scalar(const std::string& sql, const std::vector<Value>& params)
{
    Table t = query(sql, params);
    if (t.rows.empty() || t.rows[0].empty())
        return std::nullopt;
    return t.rows[0][0];
}

std::int64_t CServiceStore::lastInsertId()
{
    std::lock_guard<std::recursive_mutex> lock(mutex);
    return sqlite3_last_insert_rowid(db);
}

bool CServiceStore::createSchema()
{
    return exec(kSchema);
}

bool CServiceStore::isSeeded()
{
    return scalar("SELECT count(*) FROM pilots").value_or("0") != "0";
}

bool CServiceStore::seedDemo()
{
    std::lock_guard<std::recursive_mutex> lock(mutex);
    if (!exec("BEGIN") || !exec(kSeed)) {
        exec("ROLLBACK");
        return false;
    }
    const std::string salt = randomHex(8);
    const bool ok = exec("INSERT OR REPLACE INTO pilots VALUES(1001,'demo',?,?,'Dana','Demo','1','QDA1001','Captain',"
                         "'EDDF','125000','1','kg','1','QDA')",
                         {salt, passwordHash(salt, "demo123")});
    return exec(ok ? "COMMIT" : "ROLLBACK") && ok;
}

bool CServiceStore::release(const std::string& version, const std::vector<std::string>& files)
{
    std::lock_guard<std::recursive_mutex> lock(mutex);
    if (!exec("BEGIN"))
        return false;
    bool ok = exec("INSERT OR REPLACE INTO settings VALUES('Version',?),('BetaVersion',?)", {version, version});
    for (const auto& file : files) {
        const std::size_t dot = file.rfind('.');
        ok = ok && dot != std::string::npos &&
             exec("INSERT OR REPLACE INTO installers VALUES(?,?,?)", {version, file.substr(dot + 1), file});
    }
    return exec(ok ? "COMMIT" : "ROLLBACK") && ok;
}

bool CServiceStore::loadAirports(const std::string& file)
{
    if (scalar("SELECT count(*) FROM airports").value_or("0") != "0")
        return true;
    std::ifstream in(file);
    if (!in) {
        lastError = "cannot read " + file;
        return false;
    }
    std::lock_guard<std::recursive_mutex> lock(mutex);
    exec("BEGIN");
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::vector<std::string> f;
        std::stringstream ss(line);
        std::string piece;
        while (std::getline(ss, piece, '\t'))
            f.push_back(piece);
        if (f.size() < 6)
            continue;
        const int size = std::stoi(f[4]);
        // Prices of our own making: bigger airports sell fuel a little dearer.
        const std::string fuel = std::to_string(1.05 + 0.05 * size + static_cast<double>(line.size() % 7) / 100.0);
        const std::string fee = std::to_string(size * 150);
        exec("INSERT OR IGNORE INTO airports VALUES(?,?,?,?,?,?,?,?)", {f[0], f[5], f[1], f[2], f[3], f[4], fuel, fee});
    }
    return exec("COMMIT");
}

std::string CServiceStore::passwordHash(const std::string& salt, const std::string& password)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    const std::string input = salt + ":" + password;
    EVP_Digest(input.data(), input.size(), digest, &length, EVP_sha256(), nullptr);
    static const char kHex[] = "0123456789abcdef";
    std::string hex;
    for (unsigned int i = 0; i < length; ++i) {
        hex += kHex[digest[i] >> 4];
        hex += kHex[digest[i] & 15];
    }
    return hex;
}

std::string CServiceStore::randomHex(std::size_t bytes)
{
    std::vector<unsigned char> raw(bytes);
    RAND_bytes(raw.data(), static_cast<int>(raw.size()));
    static const char kHex[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char b : raw) {
        hex += kHex[b >> 4];
        hex += kHex[b & 15];
    }
    return hex;
}

void CServiceStore::recordRequest(const std::string& method, const std::string& path, const std::string& function,
                                  const std::string& body)
{
    std::lock_guard<std::recursive_mutex> lock(mutex);
    exec("INSERT INTO requests(received, method, path, function, body) VALUES(?,?,?,?,?)",
         {std::to_string(nowSeconds()), method, path, function, body});
    if (!mirrorFile.empty())
        appendMirrorLine(mirrorFile, "request", {{"method", method}, {"path", path}, {"function", function}});
}

std::vector<CServiceStore::Received> CServiceStore::received(const std::string& function)
{
    const Table t =
        function.empty()
            ? query("SELECT id, method, path, function, body FROM requests ORDER BY id")
            : query("SELECT id, method, path, function, body FROM requests WHERE function = ? ORDER BY id", {function});
    std::vector<Received> out;
    for (const auto& r : t.rows)
        out.push_back(Received{std::stoll(r[0]), r[1], r[2], r[3], r[4]});
    return out;
}

std::int64_t CServiceStore::recordUpload(const std::string& kind, const std::multimap<std::string, std::string>& fields)
{
    std::lock_guard<std::recursive_mutex> lock(mutex);
    exec("BEGIN");
    exec("INSERT INTO uploads(kind, received) VALUES(?,?)", {kind, std::to_string(nowSeconds())});
    const std::int64_t id = lastInsertId();
    int seq = 0;
    for (const auto& [key, value] : fields)
        exec("INSERT INTO upload_fields VALUES(?,?,?,?)", {std::to_string(id), std::to_string(seq++), key, value});
    exec("COMMIT");
    if (!mirrorFile.empty())
        appendMirrorLine(mirrorFile, kind, fields);
    return id;
}

void CServiceStore::mirrorUploadsTo(const std::string& file)
{
    std::lock_guard<std::recursive_mutex> lock(mutex);
    mirrorFile = file;
}

std::vector<std::multimap<std::string, std::string>> CServiceStore::uploads(const std::string& kind)
{
    const Table t = query("SELECT u.id, f.key, f.value FROM uploads u JOIN upload_fields f ON f.upload_id = u.id "
                          "WHERE u.kind = ? ORDER BY u.id, f.seq",
                          {kind});
    std::vector<std::multimap<std::string, std::string>> out;
    std::string current;
    for (const auto& r : t.rows) {
        if (out.empty() || r[0] != current) {
            out.emplace_back();
            current = r[0];
        }
        out.back().emplace(r[1], r[2]);
    }
    return out;
}
