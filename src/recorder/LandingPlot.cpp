// CLandingPlot: three stacked panels sharing the time axis (seconds to touchdown).
#include "recorder/LandingPlot.h"

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr double kWidth = 900.0;
constexpr double kPanelHeight = 180.0;
constexpr double kLeft = 70.0;
constexpr double kRight = 20.0;
constexpr double kTop = 40.0;
constexpr double kGap = 40.0;

std::string number(double v)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.1f", v);
    return buffer;
}

struct Panel {
    const char* title;
    const char* colour;
    std::function<double(const FlightSample&)> value;
};

} // namespace

std::string CLandingPlot::svg(const CLandingAnalysis& analysis)
{
    const auto& track = analysis.samples();
    const LandingFigures& f = analysis.figures();
    const Panel panels[] = {
        {"Height above ground (ft)", "#1f77b4", [](const FlightSample& s) { return double(s.heightFt); }},
        {"Vertical speed (ft/min)", "#d62728", [](const FlightSample& s) { return double(s.verticalFpm); }},
        {"Indicated speed (kt)", "#2ca02c", [](const FlightSample& s) { return double(s.indicatedKt); }},
    };
    const double height = kTop + 3 * (kPanelHeight + kGap);
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                      number(kWidth) + "\" height=\"" + number(height) +
                      "\" font-family=\"sans-serif\" font-size=\"12\">\n<rect width=\"100%\" height=\"100%\" "
                      "fill=\"white\"/>\n";
    if (!f.found) {
        out += "<text x=\"20\" y=\"30\">No landing in this recording</text>\n</svg>\n";
        return out;
    }
    const std::int64_t t0 = track[f.touchdown].timeMs;
    std::vector<std::size_t> shown;
    for (std::size_t i = 0; i < track.size(); ++i) {
        if (track[i].timeMs >= t0 - kSpanMs && track[i].timeMs <= t0)
            shown.push_back(i);
    }
    const double plotWidth = kWidth - kLeft - kRight;
    auto x = [&](std::int64_t t) { return kLeft + plotWidth * (double(t - t0 + kSpanMs) / double(kSpanMs)); };
    out += "<text x=\"" + number(kLeft) +
           "\" y=\"20\" font-size=\"14\">Last two minutes before touchdown: " + std::to_string(f.firstOnGroundFpm) +
           " ft/min at the first sample on the ground, report's average " + std::to_string(f.averageFpm) +
           " ft/min</text>\n";
    for (int p = 0; p < 3; ++p) {
        const Panel& panel = panels[p];
        const double top = kTop + p * (kPanelHeight + kGap);
        double lo = 0.0, hi = 1.0;
        for (std::size_t i : shown) {
            lo = std::min(lo, panel.value(track[i]));
            hi = std::max(hi, panel.value(track[i]));
        }
        auto y = [&](double v) { return top + kPanelHeight - kPanelHeight * (v - lo) / (hi - lo); };
        out += "<text x=\"" + number(kLeft) + "\" y=\"" + number(top - 6) + "\">" + panel.title + "</text>\n";
        out += "<rect x=\"" + number(kLeft) + "\" y=\"" + number(top) + "\" width=\"" + number(plotWidth) +
               "\" height=\"" + number(kPanelHeight) + "\" fill=\"none\" stroke=\"#999\"/>\n";
        out += "<text x=\"" + number(kLeft - 6) + "\" y=\"" + number(top + 10) + "\" text-anchor=\"end\">" +
               number(hi) + "</text>\n<text x=\"" + number(kLeft - 6) + "\" y=\"" + number(top + kPanelHeight) +
               "\" text-anchor=\"end\">" + number(lo) + "</text>\n";
        if (lo < 0.0 && hi > 0.0)
            out += "<line x1=\"" + number(kLeft) + "\" x2=\"" + number(kLeft + plotWidth) + "\" y1=\"" + number(y(0)) +
                   "\" y2=\"" + number(y(0)) + "\" stroke=\"#ccc\"/>\n";
        std::string points;
        for (std::size_t i : shown)
            points += number(x(track[i].timeMs)) + "," + number(y(panel.value(track[i]))) + " ";
        out += "<polyline fill=\"none\" stroke=\"" + std::string(panel.colour) + "\" stroke-width=\"1.5\" points=\"" +
               points + "\"/>\n";
        out += "<line class=\"touchdown\" x1=\"" + number(x(t0)) + "\" x2=\"" + number(x(t0)) + "\" y1=\"" +
               number(top) + "\" y2=\"" + number(top + kPanelHeight) +
               "\" stroke=\"black\" stroke-dasharray=\"4,3\"/>\n";
        if (p == 1) {
            for (int k = 0; k < f.averagedCount; ++k) {
                const FlightSample& s = track[f.averaged[k]];
                out += "<circle class=\"averaged\" cx=\"" + number(x(s.timeMs)) + "\" cy=\"" +
                       number(y(s.verticalFpm)) + "\" r=\"4\" fill=\"none\" stroke=\"black\"/>\n";
            }
        }
    }
    const double bottom = kTop + 3 * (kPanelHeight + kGap) - kGap + 16;
    for (int s = 120; s >= 0; s -= 20)
        out += "<text x=\"" + number(x(t0 - s * 1000)) + "\" y=\"" + number(bottom) + "\" text-anchor=\"middle\">-" +
               std::to_string(s) + " s</text>\n";
    out += "<text x=\"" + number(x(t0)) + "\" y=\"" + number(bottom + 14) +
           "\" text-anchor=\"end\">touchdown</text>\n</svg>\n";
    return out;
}
