// writeFlightSave: the name check and the file.
#include "FlightSaveFile.h"

#include <fstream>
#include <locale>

void writeFlightSave(const SimAircraftState& s, const std::string& directory, const std::string& name,
                     CSimRecord& record)
{
    const bool plain = !name.empty() && name.find('/') == std::string::npos && name != "." && name != "..";
    record.add({plain ? "save" : "saveRefused", name, 0.0, -1});
    if (!plain || directory.empty())
        return;
    std::ofstream out(directory + "/" + name, std::ios::trunc);
    out.imbue(std::locale::classic());
    out << "[SimVars.0]\n"
        << "Latitude=" << s.lat << "\nLongitude=" << s.lon << "\nAltitude=" << s.altitudeFt
        << "\nHeading=" << s.headingDeg << "\nSimOnGround=" << (s.onGround ? "True" : "False") << "\n";
}
