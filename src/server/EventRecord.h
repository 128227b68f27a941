// One entry of a flight's event log; this byte layout is also how the entry
// is kept in the report store.
#pragma once

#include <cstddef>
#include <cstdint>

struct CEventRecord {
    std::int32_t elapsedSeconds; // flight time since the start, whole seconds
    std::int32_t altitude;       // feet
    std::int32_t airspeed;       // knots indicated
    char phaseName[10];
    char text[66];
};
static_assert(sizeof(CEventRecord) == 88);
static_assert(offsetof(CEventRecord, altitude) == 4);
static_assert(offsetof(CEventRecord, airspeed) == 8);
static_assert(offsetof(CEventRecord, phaseName) == 12);
static_assert(offsetof(CEventRecord, text) == 22);
