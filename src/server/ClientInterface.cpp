// CClientInterface: construction, the airport list and distances.
#include "server/ClientInterface.h"

#include "core/FixedText.h"
#include "core/TextCompare.h"
#include "server/ServerAddress.h"

#include <cmath>

namespace {
constexpr double kEarthRadiusNm = 3437.7467703360626;
constexpr double kDegToRad = 0.017453292522222223;
} // namespace

CClientInterface::CClientInterface() : serverUrl(CServerAddress::kDefaultUrl), log("CClientInterface")
{
    copyText(airline.v_ID, "0");
}

CClientInterface::~CClientInterface() = default;

void CClientInterface::setServerUrl(const std::string& url)
{
    serverUrl = url;
}

void CClientInterface::addAirport(double lat, double lon, double fuelPrice, double landingFee,
                                  std::int32_t size, const std::string& code)
{
    for (CAirport& a : airports) {
        if (equalsNoCase(a.code, code)) {
            if (landingFee >= 0.0)
                a.landingFee = landingFee;
            return;
        }
    }
    CAirport a;
    a.code = code.substr(0, 34);
    a.lat = lat;
    a.lon = lon;
    a.fuelPrice = fuelPrice;
    a.landingFee = landingFee;
    a.size = size;
    airports.push_front(std::move(a));
}

const CAirport* CClientInterface::findAirport(std::string_view code) const
{
    for (const CAirport& a : airports) {
        if (equalsNoCase(a.code, code))
            return &a;
    }
    return nullptr;
}

double CClientInterface::distanceNm(double lat1, double lon1, double lat2, double lon2)
{
    const double p1 = lat1 * kDegToRad;
    const double p2 = lat2 * kDegToRad;
    const double sLat = std::sin((p1 - p2) / 2.0);
    const double sLon = std::sin((lon1 * kDegToRad - lon2 * kDegToRad) / 2.0);
    const double h = sLat * sLat + std::cos(p1) * std::cos(p2) * sLon * sLon;
    return 2.0 * kEarthRadiusNm * std::asin(std::sqrt(h < 1.0 ? h : 1.0));
}

double CClientInterface::distanceToArrival(double lat, double lon) const
{
    const CAirport* a = findAirport(fieldText(flightLog.l_Arrival));
    return a != nullptr ? distanceNm(lat, lon, a->lat, a->lon) : distanceNm(lat, lon, 0.0, 0.0);
}

int CClientInterface::getClosestAirport(double lon, double lat, double arrivalDistance)
{
    // Until the service link is in place only the booking's own airports count.
    (void)lon;
    (void)lat;
    (void)arrivalDistance;
    return 5;
}
