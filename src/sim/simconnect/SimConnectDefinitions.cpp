// The definition table.
#include "sim/simconnect/SimConnectDefinitions.h"

namespace SimConnectDefinitions {

namespace {

using SimConnectApi::TypeFloat32;
using SimConnectApi::TypeFloat64;
using SimConnectApi::TypeInt32;

const char* const kTankNames[kTankCount] = {"CENTER",    "CENTER2",  "CENTER3",   "LEFT MAIN", "RIGHT MAIN", "LEFT AUX",
                                            "RIGHT AUX", "LEFT TIP", "RIGHT TIP", "EXTERNAL1", "EXTERNAL2"};
// The snapshot's tank order, by name.
const char* const kTankWriteNames[kTankCount] = {"CENTER",    "LEFT MAIN", "RIGHT MAIN", "LEFT AUX",
                                                 "RIGHT AUX", "LEFT TIP",  "RIGHT TIP",  "CENTER2",
                                                 "CENTER3",   "EXTERNAL1", "EXTERNAL2"};

void addPoll(std::vector<Datum>& d)
{
    const Datum head[] = {
        {DefinePoll, "Plane Latitude", "degrees", TypeFloat64},
        {DefinePoll, "Plane Longitude", "degrees", TypeFloat64},
        {DefinePoll, "PLANE HEADING DEGREES MAGNETIC", "degrees", TypeFloat64},
        {DefinePoll, "Light Landing", "bool", TypeInt32},
        {DefinePoll, "Simulation Rate", "number", TypeInt32},
        {DefinePoll, "Radio Height", "feet", TypeFloat64},
        {DefinePoll, "Pressure Altitude", "feet", TypeFloat64},
        {DefinePoll, "Ground Altitude", "feet", TypeFloat64},
        {DefinePoll, "Vertical Speed", "feet per minute", TypeFloat64},
        {DefinePoll, "Crash Flag", "enum", TypeInt32},
        {DefinePoll, "Brake Parking Position", "position", TypeInt32},
        {DefinePoll, "Airspeed Indicated", "knots", TypeFloat64},
        {DefinePoll, "Ground Velocity", "knots", TypeFloat64},
        {DefinePoll, "Max Gross Weight", "kg", TypeFloat64},
        {DefinePoll, "Empty Weight", "kg", TypeFloat64},
        {DefinePoll, "Sim On Ground", "bool", TypeInt32},
        {DefinePoll, "Number Of Engines", "number", TypeInt32},
        {DefinePoll, "Is Slew Active", "bool", TypeInt32},
        {DefinePoll, "GEAR HANDLE POSITION", "bool", TypeInt32},
        {DefinePoll, "IS GEAR RETRACTABLE", "bool", TypeInt32},
        {DefinePoll, "LIGHT ON STATES", "number", TypeInt32},
        {DefinePoll, "SURFACE TYPE", "enum", TypeInt32},
        {DefinePoll, "PAYLOAD STATION COUNT", "number", TypeInt32},
    };
    d.insert(d.end(), std::begin(head), std::end(head));
    for (int i = 1; i <= kPayloadStations; ++i)
        d.push_back({DefinePoll, "PAYLOAD STATION WEIGHT:" + std::to_string(i), "kg", TypeFloat64});
    d.push_back({DefinePoll, "FLAPS HANDLE PERCENT", "percent over 100", TypeFloat32});
}

void addTanks(std::vector<Datum>& d)
{
    for (const char* tank : kTankNames)
        d.push_back({DefineTanks, std::string("FUEL TANK ") + tank + " LEVEL", "percent over 100", TypeFloat64});
    for (const char* tank : kTankNames)
        d.push_back({DefineTanks, std::string("FUEL TANK ") + tank + " CAPACITY", "gallons", TypeFloat64});
    d.push_back({DefineTanks, "FUEL WEIGHT PER GALLON", "kg", TypeFloat64});
    d.push_back({DefineTanks, "FUEL TOTAL QUANTITY", "gallons", TypeFloat64});
    for (const char* tank : kTankWriteNames)
        d.push_back({DefineTankLevels, std::string("FUEL TANK ") + tank + " LEVEL", "percent over 100", TypeFloat32});
}

void addOthers(std::vector<Datum>& d)
{
    d.push_back({DefineClock, "ZULU TIME", "seconds", TypeFloat64});
    d.push_back({DefineClock, "LOCAL TIME", "seconds", TypeFloat64});
    d.push_back({DefineClock, "Pause", "number", TypeInt32});
    d.push_back({DefineSlewAllowed, "IS SLEW ALLOWED", "bool", TypeInt32});
    d.push_back({DefineSimulationRate, "Simulation Rate", "number", TypeFloat32});
    for (DWORD engine = 1; engine <= 4; ++engine)
        d.push_back({DefineEngineFire1 + engine - 1, "ENG ON FIRE:" + std::to_string(engine), "bool", TypeInt32});
    d.push_back({DefineGearHandle, "GEAR HANDLE POSITION", "bool", TypeInt32});
    d.push_back({DefineFlapsIndex, "FLAPS HANDLE INDEX", "number", TypeInt32});
}

std::vector<Datum> buildAll()
{
    std::vector<Datum> d;
    addPoll(d);
    addTanks(d);
    addOthers(d);
    return d;
}

} // namespace

// Tank read order: centre, centre 2, centre 3, mains, auxiliaries, tips, externals.
const int kTankReadSlot[kTankCount] = {0, 7, 8, 1, 2, 3, 4, 5, 6, 9, 10};

const std::vector<Datum>& allData()
{
    static const std::vector<Datum> all = buildAll();
    return all;
}

std::size_t blockSize(DWORD define)
{
    std::size_t size = 0;
    for (const Datum& d : allData()) {
        if (d.define == define)
            size += d.type == TypeFloat64 || d.type == SimConnectApi::TypeInt64 ? 8 : 4;
    }
    return size;
}

} // namespace SimConnectDefinitions
