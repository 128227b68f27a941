// Truncation of floating-point values to integers that is defined for every
// input: NaN reads as 0, values beyond the range saturate. Simulator and
// service data pass through here before they become counters or kg figures.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

// Simulator doubles that are not numbers count as 0 rather than poisoning the snapshot.
inline double finiteOrZero(double v)
{
    return std::isfinite(v) ? v : 0.0;
}

inline std::int32_t truncToInt32(double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= 2147483647.0)
        return std::numeric_limits<std::int32_t>::max();
    if (v <= -2147483648.0)
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}

inline std::int32_t clampToInt32(std::int64_t v)
{
    if (v > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    if (v < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}

inline std::uint32_t truncToUint32(double v)
{
    if (std::isnan(v) || v <= 0.0)
        return 0;
    if (v >= 4294967295.0)
        return std::numeric_limits<std::uint32_t>::max();
    return static_cast<std::uint32_t>(v);
}
