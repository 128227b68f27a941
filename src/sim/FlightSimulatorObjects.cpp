// Snapshot helpers: the vertical-speed ring and fuel sums.
#include "sim/FlightSimulatorObjects.h"

#include "core/NumberConversion.h"

void CVerticalSpeedRing::push(std::int32_t v)
{
    if (next < 0 || next > 2)
        next = 0;
    values[next] = v;
    next = (next + 1) % 3;
    if (count < 3)
        ++count;
}

int CVerticalSpeedRing::oldestFirst(std::int32_t out[3]) const
{
    const int n = count < 0 ? 0 : (count > 3 ? 3 : count);
    const int start = n < 3 ? 0 : ((next % 3) + 3) % 3;
    for (int i = 0; i < n; ++i)
        out[i] = values[(start + i) % 3];
    return n;
}

std::int32_t CFlightSimulatorObjects::fuelOnBoardRounded() const
{
    float sum = 0.0f;
    for (float level : fTankLevel)
        sum += level;
    sum += fFuelOutsideTanks;
    return truncToInt32(sum + 0.5f);
}

float CFlightSimulatorObjects::totalTankCapacity() const
{
    float sum = 0.0f;
    for (float c : fTankCapacity)
        sum += c;
    return sum;
}

void CFlightSimulatorObjects::keepTankLevels()
{
    for (int i = 0; i < kTankCount; ++i)
        fKeptTankLevel[i] = fTankLevel[i];
    fKeptTankLevel[kTankCount] = fFuelOutsideTanks;
}

void CFlightSimulatorObjects::restoreKeptTankLevels()
{
    for (int i = 0; i < kTankCount; ++i)
        fTankLevel[i] = fKeptTankLevel[i];
    fFuelOutsideTanks = fKeptTankLevel[kTankCount];
}

std::int32_t CFlightSimulatorObjects::keptFuelRounded() const
{
    float sum = 0.0f;
    for (float level : fKeptTankLevel)
        sum += level;
    return truncToInt32(sum + 0.5f);
}
