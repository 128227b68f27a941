// Fuzzes the JSON answers: the login token, the pilot record and the booked
// airports, read the way the client reads them. Nothing may throw or crash.
#include "core/DebugLog.h"
#include "server/JsonEndpoint.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static CDebugLog log("fuzz_json_answer", CDebugLog::Quiet{});
    static CJsonEndpoint json(log);
    CJsonEndpoint::Tree tree;
    std::string error;
    if (!CJsonEndpoint::parse(std::string_view(reinterpret_cast<const char*>(data), size), tree, error))
        return 0;
    json.readText(tree, "token");
    for (const char* key : {"pilot_id", "name", "surname", "va_status", "premium"})
        json.readText(tree, key);
    const auto results = tree.get_child_optional(CJsonEndpoint::Tree::path_type("results", '\0'));
    if (!results)
        return 0;
    for (const auto& item : *results) {
        json.readText(item.second, "icao");
        json.readNumber(item.second, "lat");
        json.readNumber(item.second, "landing_fee");
        json.readInteger(item.second, "size");
    }
    return 0;
}
