// How often the simulator is polled at a height above ground: every 50 ms near
// the ground up to every 4 s above 10000 ft. The driver and the bridges that
// ask the simulator for a send rate share it.
#pragma once

#include <cstdint>

inline std::int32_t pollIntervalForHeight(std::int32_t radarAltitudeFt)
{
    if (radarAltitudeFt <= 100)
        return 50;
    if (radarAltitudeFt <= 500)
        return 100;
    if (radarAltitudeFt <= 2000)
        return 250;
    if (radarAltitudeFt <= 10000)
        return 1000;
    return 4000;
}
