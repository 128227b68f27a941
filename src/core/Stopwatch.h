// A 32-bit millisecond stopwatch on the process clock; differences wrap
// modulo 2^32 like the tick counters they replace.
#pragma once

#include <cstdint>

class CStopwatch {
public:
    CStopwatch();
    void restart();
    std::uint32_t elapsed() const;
    // Low 32 bits of the process clock's UTC milliseconds.
    static std::uint32_t now32();

private:
    std::uint32_t start_;
};
