// CFlightEnd: diversion, high speed, "End flight" and the report's finish.
#include "ui/FlightEnd.h"

#include "core/FixedText.h"
#include "core/TextCompare.h"
#include "monitor/FlightState.h"
#include "recorder/FlightRecorder.h"
#include "report/Report.h"
#include "server/Base64.h"
#include "server/ClientInterface.h"
#include "server/LeadingNumber.h"
#include "server/RequestDeadline.h"
#include "sim/FlightSimulatorInterface.h"
#include "ui/ActionHost.h"
#include "ui/ControlIds.h"
#include "ui/RecordedStart.h"

namespace {

constexpr std::size_t kCommentLimit = 255;
constexpr std::size_t kDivertLimit = 30;
constexpr int kAnyAirportFlightType = 2;

std::string trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = text.find_last_not_of(" \t\r\n");
    return std::string(text.substr(first, last - first + 1));
}

} // namespace

CFlightEnd::CFlightEnd(CActionHost& userInterface) : ui(userInterface), log("CFlightEnd") {}

bool CFlightEnd::isExemptRoute(std::string_view departure, std::string_view arrival)
{
    return (equalsNoCase(departure, "EGEP") && equalsNoCase(arrival, "EGEW")) ||
           (equalsNoCase(departure, "EGEW") && equalsNoCase(arrival, "EGEP"));
}

bool CFlightEnd::packagesNearby(const std::string& packages, const std::string& closest, double lat, double lon)
{
    std::size_t pos = 0;
    while (pos < packages.size()) {
        const std::size_t end = packages.find(' ', pos);
        const std::size_t stop = end == std::string::npos ? packages.size() : end;
        const std::string entry = packages.substr(pos, stop - pos);
        pos = stop + 1;
        const std::size_t c1 = entry.find(',');
        const std::size_t c2 = c1 == std::string::npos ? c1 : entry.find(',', c1 + 1);
        if (c2 == std::string::npos)
            continue;
        const std::string_view code(entry.data(), c1);
        if (code.empty() || equalsNoCase(code, closest))
            continue;
        const double entryLat = leadingDouble(std::string_view(entry).substr(c1 + 1, c2 - c1 - 1));
        const double entryLon = leadingDouble(std::string_view(entry).substr(c2 + 1));
        if (CClientInterface::distanceNm(lat, lon, entryLat, entryLon) < kPackageRadiusNm)
            return true;
    }
    return false;
}

void CFlightEnd::confirmDivert()
{
    CFlightSimulatorInterface* sim = ui.getSimulator();
    ui.SetPage(PageFlying);
    if (sim == nullptr)
        return;
    sim->bEmergency = 1;
    sim->bDiverted = 1;
    std::string airport = trimmed(std::string_view(ui.getText(IdEditDivertAirport)).substr(0, kDivertLimit));
    for (char& c : airport) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    copyText(ui.getClient().report.divertCode, airport);
    if (airport.empty())
        sim->showText("Emergency - you can now land at any airport!", 10, false);
    else
        sim->showText("Emergency - you can now land at " + airport + "!", 10, false);
    ui.hideObject(IdDivert);
}

void CFlightEnd::approveHighSpeed()
{
    CReport& report = ui.getReport();
    if (!report.hasPenalty(ItemHighSpeedDisabled) && !report.hasPenalty(ItemOverspeedFL100))
        report.addPenalty(ItemHighSpeedDisabled);
    ui.hideObject(IdHighSpeedApproved);
}

bool CFlightEnd::meetsMinimumDistance(bool exempt, bool anyType)
{
    if (anyType || exempt)
        return true;
    const CFlightState& state = ui.getFlightState();
    const Tervix_Routes& route = ui.getClient().route;
    const bool circuit = equalsNoCase(fieldText(route.r_Dep), fieldText(route.r_Arr));
    if ((!state.hasClimbedAbove500() && !state.hasLeftStartArea()) || (circuit && !state.hasLeftStartArea())) {
        ui.AbortFlight("Flight did not travel minimum distance to be considered a flight");
        return false;
    }
    return true;
}

void CFlightEnd::checkLandingAirport(bool anyType)
{
    CFlightSimulatorInterface& sim = *ui.getSimulator();
    CClientInterface& client = ui.getClient();
    const std::string closest = fieldText(client.closestAirport);
    if (closest == fieldText(client.flightLog.l_Arrival) || sim.bEmergency != 0 || anyType)
        return;
    if (listContainsCode(fieldText(client.route.r_technical_stop), closest) ||
        listContainsCode(fieldText(client.route.package_arr), closest)) {
        log.debug("Landed at a listed stop: " + closest);
        sim.bEmergency = 1;
        sim.bDiverted = 1;
        return;
    }
    ui.getReport().addPenalty(ItemWrongAirport);
}

bool CFlightEnd::closeFlight(CFlightSimulatorInterface& sim)
{
    // Ending the flight is the pilot's action wherever it is pressed from (the
    // tick after a lost simulator or at On Block, whose time may be spent):
    // its own calls have the action's time.
    CRequestDeadline ending(CRequestDeadline::kActionMs, CRequestDeadline::Nesting::OwnBudget);
    CClientInterface& client = ui.getClient();
    CReport& report = ui.getReport();
    ui.getFlightState().setPhase(PhaseOnBlock);
    sim.getEverything();
    client.getClosestAirport(sim.dLongitude, sim.dLatitude, sim.dClosestArrivalDistance);
    sim.getAircraftTanks();
    sim.updateFlightTimer();
    const bool exempt = isExemptRoute(fieldText(client.route.r_Dep), fieldText(client.route.r_Arr));
    const bool anyType = leadingInt(fieldText(client.flightLog.l_FlightType)) == kAnyAirportFlightType;
    if (!meetsMinimumDistance(exempt, anyType))
        return false;
    checkLandingAirport(anyType);
    if (!ui.getFlightState().hasClimbedAbove500() && !report.hasPenalty(ItemLowAltitude) && !exempt)
        report.addPenalty(ItemLowAltitude);
    client.aircraft.arrivalFuel = sim.fuelOnBoardRounded();
    client.getTimestamp();
    return true;
}

void CFlightEnd::endFlight()
{
    CFlightSimulatorInterface* simulator = ui.getSimulator();
    if (simulator == nullptr)
        return;
    CFlightSimulatorInterface& sim = *simulator;
    ui.ShowLoading();
    if (!closeFlight(sim))
        return;
    // The last position has the caller's time, as every position of a tick.
    ui.getReport().recordPosition();
    // The comment page shows the box, unchecked, only when it is on offer.
    const CClientInterface& client = ui.getClient();
    ui.offerPackages = packagesNearby(fieldText(client.route.package_arr), fieldText(client.closestAirport),
                                      sim.dLatitude, sim.dLongitude);
    ui.SetPage(PageComment);
}

void CFlightEnd::completeReport()
{
    CClientInterface& client = ui.getClient();
    // The report holds 255 characters of comment; a longer text is cut, never refused.
    const std::string comment = ui.getText(IdEditComment).substr(0, kCommentLimit);
    base64Encode(client.report.Comment64, comment);
    const bool deliver = ui.offerPackages && ui.getCheck(IdCheckDeliverPackages);
    client.report.deliver_all = deliver ? 1 : 0;
    ui.offerPackages = false;
    ui.getReport().evaluateFlight();
    CFlightRecorder& recorder = ui.getFlightRecorder();
    recorder.airports(RecordedStart::airports(client));
    recorder.reportFinished(client.report, comment, deliver);
}

void CFlightEnd::finishReport()
{
    CReport& report = ui.getReport();
    ui.ShowLoading();
    completeReport();
    // A report that cannot be sent stays backed up for the home page's upload.
    if (report.uploadReport(false)) {
        ui.SetPage(PageReportRoute);
        closeRecording();
        return;
    }
    closeRecording();
    ui.warnIfReportUnsaved();
    ui.SetPage(PageLogin);
    ui.OnButton(IdLogin);
}

void CFlightEnd::closeRecording()
{
    const std::vector<std::string> files = ui.getFlightRecorder().finish(true);
    if (files.empty())
        return;
    std::string line = "Flight recording: " + files.front();
    if (files.size() > 1)
        line += "; landing analysis:";
    for (std::size_t i = 1; i < files.size(); ++i)
        line += " " + files[i];
    log.warn(line);
}
