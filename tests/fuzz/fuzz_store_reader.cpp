// Fuzzes the settings and report store reader: any file contents are loaded
// and every record, counter, event and position of a backup is read. Reads
// must stay inside the stored text and a record is either decoded whole or
// left exactly as it was.
#include "report/IniParser.h"
#include "server/EventRecord.h"
#include "server/Records.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

CIniParser& store()
{
    return CIniParser::getInstance();
}

void writeFile(const std::string& path, const std::uint8_t* data, std::size_t size)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr)
        std::abort();
    if (size > 0)
        std::fwrite(data, 1, size, f);
    std::fclose(f);
}

// A record filled with a marker byte must come back either decoded in full
// (then it equals the stored hex) or untouched.
void readRecord(CIniParser& s, const std::string& key, std::size_t size)
{
    std::vector<unsigned char> record(size, 0xA5);
    if (s.readReportStruct("Report", key, record.data(), size))
        return;
    for (unsigned char b : record) {
        if (b != 0xA5)
            std::abort();
    }
}

void readCounted(CIniParser& s, const char* counter, const char* prefix, std::size_t size)
{
    const int n = s.readReportInt("report", counter);
    for (int i = 0; i < n && i < 600; ++i)
        readRecord(s, prefix + std::to_string(i), size);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CIniParser& s = store();
    writeFile(s.getReportPath(), data, size);
    writeFile(s.getSettingsPath(), data, size);
    s.reload();

    readRecord(s, "Tervix_Pilots", sizeof(Tervix_Pilots));
    readRecord(s, "Tervix_Routes", sizeof(Tervix_Routes));
    readRecord(s, "Tervix_Logs", sizeof(Tervix_Logs));
    readRecord(s, "Tervix_Aircrafts", sizeof(Tervix_Aircrafts));
    readRecord(s, "Tervix_Reports", sizeof(Tervix_Reports));
    readRecord(s, "Tervix_VirtualAirlines", sizeof(Tervix_VirtualAirlines));
    readRecord(s, "AircraftData", sizeof(AircraftData));
    readRecord(s, "TankData", sizeof(TankData));
    for (int i = 0; i < 24; ++i)
        readRecord(s, "struct_penalty" + std::to_string(i), sizeof(struct_penalty));
    readCounted(s, "numeventlogs", "eventdata", sizeof(CEventRecord));
    readCounted(s, "numpositionlogs", "positiondata", sizeof(PositionRecord));

    char user[36];
    s.readConfigString("login", "User", user);
    if (std::strlen(user) >= sizeof user)
        std::abort();
    s.readLoginPassword();
    s.readConfigFlagDefaultOn("settings", "Tracker");
    s.readConfigInt("report", "Backup");
    return 0;
}
