// The service's data in SQLite: airlines, pilots with salted password hashes,
// tokens, aircraft with wear, bookings, airports, and everything the service
// received (raw request bodies and the fields of every upload).
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;

class CServiceStore {
public:
    using Value = std::optional<std::string>; // nullopt = NULL
    struct Table {
        std::vector<std::string> columns;
        std::vector<std::vector<std::string>> rows; // NULL reads as ""
    };
    struct Received {
        std::int64_t id = 0;
        std::string method;
        std::string path;
        std::string function;
        std::string body;
    };

    // Opens (creating) the database file; false with error() set on failure.
    bool open(const std::string& path);
    ~CServiceStore();
    const std::string& error() const { return lastError; }

    // Runs one statement with positional parameters ("?").
    bool exec(const std::string& sql, const std::vector<Value>& params = {});
    Table query(const std::string& sql, const std::vector<Value>& params = {});
    // The first column of the first row, or nullopt.
    Value scalar(const std::string& sql, const std::vector<Value>& params = {});
    std::int64_t lastInsertId();

    bool createSchema();
    bool isSeeded();
    // Demo airline, pilot, aircraft, type, route and booking; resets the booking.
    bool seedDemo();
    // Names VERSION as the release and the beta, its installers being these
    // files (by suffix: .exe, .deb); `seed` names the demo's versions again.
    bool release(const std::string& version, const std::vector<std::string>& files);
    // Loads airports from the tab-separated file when the table is empty.
    bool loadAirports(const std::string& file);

    static std::string passwordHash(const std::string& salt, const std::string& password);
    static std::string randomHex(std::size_t bytes);

    void recordRequest(const std::string& method, const std::string& path, const std::string& function,
                       const std::string& body);
    std::vector<Received> received(const std::string& function = {});
    // Stores an upload of one kind with all its fields; returns its id.
    std::int64_t recordUpload(const std::string& kind, const std::multimap<std::string, std::string>& fields);
    // Fields of the uploads of one kind, oldest first.
    std::vector<std::multimap<std::string, std::string>> uploads(const std::string& kind);
    // Also appends every upload to `file` as one line "kind<TAB>key=value&...",
    // values percent-escaped, for test programs that cannot open the database;
    // every request line too, as kind "request" (method, path, function).
    void mirrorUploadsTo(const std::string& file);

private:
    struct Statement;
    bool bind(void* statement, const std::vector<Value>& params);

    sqlite3* db = nullptr;
    std::recursive_mutex mutex;
    std::string lastError;
    std::string mirrorFile;
};
