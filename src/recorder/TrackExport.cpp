// CTrackExport: the samples as GPX and KML, numbers in the C locale.
#include "recorder/TrackExport.h"

#include "core/CivilTime.h"

#include <cstdio>

namespace {

constexpr double kMetresPerFoot = 0.3048;

std::string escaped(const std::string& text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string isoTime(std::int64_t ms)
{
    char buffer[64];
    const CivilTime t = CivilTime::fromEpochSeconds(ms / 1000);
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", t.year, t.month, t.day, t.hour,
                  t.minute, t.second, static_cast<int>(ms % 1000));
    return buffer;
}

} // namespace

std::string CTrackExport::gpx(const std::vector<FlightSample>& track, const std::string& name)
{
    std::string out = gpxHead(name);
    for (const FlightSample& s : track)
        out += gpxPoint(s);
    return out + gpxTail();
}

std::string CTrackExport::kml(const std::vector<FlightSample>& track, const std::string& name)
{
    std::string out = kmlHead(name);
    for (const FlightSample& s : track)
        out += kmlPoint(s);
    return out + kmlTail();
}

std::string CTrackExport::gpxHead(const std::string& name)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<gpx version=\"1.1\" creator=\"Quenvale\" xmlns=\"http://www.topografix.com/GPX/1/1\">\n"
           "<trk><name>" +
           escaped(name) + "</name><trkseg>\n";
}

std::string CTrackExport::gpxPoint(const FlightSample& s)
{
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, "<trkpt lat=\"%.7f\" lon=\"%.7f\"><ele>%.1f</ele><time>%s</time></trkpt>\n",
                  s.lat, s.lon, s.altitudeFt * kMetresPerFoot, isoTime(s.timeMs).c_str());
    return buffer;
}

std::string CTrackExport::gpxTail()
{
    return "</trkseg></trk>\n</gpx>\n";
}

std::string CTrackExport::kmlHead(const std::string& name)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<kml xmlns=\"http://www.opengis.net/kml/2.2\"><Document><name>" +
           escaped(name) +
           "</name>\n<Placemark><name>Track</name><LineString><altitudeMode>absolute</altitudeMode>"
           "<coordinates>\n";
}

std::string CTrackExport::kmlPoint(const FlightSample& s)
{
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, "%.7f,%.7f,%.1f\n", s.lon, s.lat, s.altitudeFt * kMetresPerFoot);
    return buffer;
}

std::string CTrackExport::kmlTail()
{
    return "</coordinates></LineString></Placemark>\n</Document></kml>\n";
}
