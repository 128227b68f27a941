// An SVG plot of the last two minutes before touchdown: height above ground,
// vertical speed and indicated speed against time, with the touchdown and the
// three samples of the report's average marked.
#pragma once

#include "recorder/LandingAnalysis.h"

#include <string>

class CLandingPlot {
public:
    static constexpr std::int64_t kSpanMs = 120000;
    static std::string svg(const CLandingAnalysis& analysis);
};
