// CFlightPagePainter: flight information, flying and checklist pages.
#include "ui/FlightPagePainter.h"

#include "core/FixedText.h"
#include "core/NumberConversion.h"
#include "report/Report.h"
#include "server/ClientInterface.h"
#include "server/LeadingNumber.h"
#include "sim/FlightSimulatorInterface.h"
#include "ui/DisplayFormat.h"
#include "ui/PageCanvas.h"
#include "ui/PageData.h"
#include "ui/PageView.h"
#include "ui/UiState.h"

using namespace PageColour;
using F = CDisplayFormat;

const char* CFlightPagePainter::crewPositionText(const std::string& crewType)
{
    if (crewType == "jumpseat")
        return "Jump Seat";
    if (crewType == "crew")
        return "Flight Crew";
    if (crewType == "copilot")
        return "Co-Pilot";
    if (crewType == "cocaptain")
        return "Co-Captain";
    return "Captain";
}

const char* CFlightPagePainter::phaseName(int phase)
{
    static const char* const names[] = {"Boarding", "Taxi",   "Takeoff", "Landed", "On Block",
                                        "Climb",    "Cruise", "Descent", "Crashed"};
    return phase >= 0 && phase <= 8 ? names[phase] : "";
}

bool CFlightPagePainter::needsTechnicalStop()
{
    const CClientInterface& client = ui.getClient();
    return client.types.d_range < client.aircraft.routeDistance;
}

void CFlightPagePainter::paintFlightInformation(CPageCanvas& canvas)
{
    canvas.heading("Flight Information");
    CClientInterface& client = ui.getClient();
    if (leadingInt(fieldText(client.route.r_ID)) < 1) {
        canvas.text(210, 140, 8, Black, "Please book a flight first!");
        return;
    }
    const Tervix_Logs& log = client.flightLog;
    const Tervix_Aircrafts& aircraft = client.aircraft;
    const CDisplayFormat unit(ui.getUiState().weightUnit);
    canvas.text(210, 120, 0, Black, "Route");
    canvas.wrapped(PageArea::LeftColumn, 8, Black,
                   F::format("Departure:\t%s\nDep.-Time:\t%s\nDistance:\t%s nm\nPassengers:\t%s",
                             fieldText(log.l_Departure).c_str(), fieldText(client.route.r_DepTime).c_str(),
                             fieldText(log.l_Dist).c_str(), fieldText(log.l_Passengers).c_str()));
    std::string arrival = F::format("Destination:\t%s\nArr.-Time:\t%s\nDuration:\t%s min\nFuel Price:\t%s v$ / l",
                                    fieldText(log.l_Arrival).c_str(), fieldText(client.route.r_ArrTime).c_str(),
                                    fieldText(log.l_Duration).c_str(), F::fixed(client.lastFuelPrice, 2).c_str());
    if (needsTechnicalStop())
        arrival += "\nTechnical Stop Required";
    canvas.wrapped(PageArea::RightColumn, 8, Black, arrival);

    const std::string crewType = fieldText(log.crew_type);
    canvas.text(210, 212, 0, Black, "Aircraft");
    canvas.wrapped(PageArea::LeftColumn, 8, Black,
                   F::format("\n\n\n\n\n\nType:\t\t%s\nEngine:\t%s %%\nGear:\t\t%s %%\nPayload:\t%s\n\nPosition: %s\n",
                             fieldText(aircraft.a_Type).c_str(), F::fixed(aircraft.a_StateEng1, 2).c_str(),
                             F::fixed(aircraft.a_StateGear, 2).c_str(), unit.mass(PageData::payloadKg(ui)).c_str(),
                             crewPositionText(crewType)));
    canvas.wrapped(PageArea::RightColumn, 8, Black,
                   F::format("\n\n\n\n\n\nRegistration:\t%s\nFuel(tanked):\t%s\nHull:\t\t%s %%\nValue:\t\t%d v$\n",
                             fieldText(aircraft.a_Registration).c_str(), unit.mass(aircraft.a_Fuel).c_str(),
                             F::fixed(aircraft.a_StateHull, 2).c_str(), aircraft.a_Value));
    if (crewType != "captain")
        canvas.text(210, 330, 8, Black, "You are crew on the flight, you do not need to run the client.");
}

void CFlightPagePainter::paintFlying(CPageCanvas& canvas)
{
    canvas.heading("Flying");
    canvas.text(215, 110, 6, Black, "You can start your flight now!");
    canvas.text(215, 130, 6, Black, "The 'end flight' button will appear as soon as you land");
    CReport& report = ui.getReport();
    if (ui.getUiState().penaltiesOff && report.getPenalty(ItemPenaltiesDisabled).active == 0)
        report.addPenalty(ItemPenaltiesDisabled);
    canvas.text(215, 150, 3, Black, "Debug Information:");
    paintFlyingLeftColumn(canvas);
    paintFlyingRightColumn(canvas);
    paintReportItems(canvas);
}

void CFlightPagePainter::paintFlyingLeftColumn(CPageCanvas& canvas)
{
    const CFlightSimulatorObjects& s = PageData::snapshot(ui);
    const CClientInterface& client = ui.getClient();
    const CDisplayFormat unit(ui.getUiState().weightUnit);
    const int fuel = s.fuelOnBoardRounded();
    const std::string lines[] = {
        std::string("Flight State: ") + phaseName(s.lFlightPhase),
        "Destination : " + fieldText(client.flightLog.l_Arrival),
        "Distance: " + F::fixed(client.distanceToArrival(s.dLatitude, s.dLongitude), 1),
        "Bearing: " + F::fixed(client.bearingToArrival(s.dLatitude, s.dLongitude), 1),
        std::string("Parking Brakes: ") + (s.bParkingBrake ? "On" : "Off"),
        "Fuel: " + unit.mass(fuel),
        "Current weight: " + unit.mass(static_cast<double>(PageData::zeroFuelWeightKg(ui) + fuel)),
    };
    int y = 170;
    for (const std::string& line : lines) {
        canvas.text(215, y, 10, Black, line);
        y += 15;
    }
}

void CFlightPagePainter::paintFlyingRightColumn(CPageCanvas& canvas)
{
    const CFlightSimulatorObjects& s = PageData::snapshot(ui);
    const CDisplayFormat unit(ui.getUiState().weightUnit);
    const std::int64_t weight = PageData::zeroFuelWeightKg(ui) + s.fuelOnBoardRounded();
    const std::int64_t margin = ui.getClient().types.d_MLW - weight;
    canvas.text(365, 170, 10, Black, F::format("Speed (IAS): %d knots", s.lIndicatedAirspeed));
    canvas.text(365, 185, 10, Black, F::format("Speed (GS): %d", s.lGroundSpeed));
    canvas.text(365, 200, 10, Black, F::format("Altitude (above ground): %d ft", s.lRadarAltitude));
    canvas.text(365, 215, 10, Black, F::format("Altitude (std): %d", truncToInt32(s.dAltitude)));
    canvas.text(365, 230, 10, Black,
                "Landing weight: " + unit.mass(ui.getClient().types.d_MLW) + " (" + (margin > 0 ? "+" : "") +
                    unit.mass(static_cast<double>(margin)) + ")");
    const float rate = s.fSimulationRate;
    canvas.text(365, 245, 10, Black,
                "Sim Rate : " + (rate >= 1.0f ? std::to_string(truncToInt32(rate)) : F::fixed(rate, 2)));
    canvas.text(365, 260, 10, Black, std::string("Landing Gear: ") + (s.bGearDown ? "Down" : "Up"));
    if (needsTechnicalStop())
        canvas.text(365, 275, 10, Red, "Technical Stop Required");
}

void CFlightPagePainter::paintReportItems(CPageCanvas& canvas)
{
    canvas.text(215, 280, 3, Black, "Penalties/Events:");
    const CReport& report = ui.getReport();
    int y = 295;
    for (int item = 0; item < ReportItemCount; ++item) {
        const struct_penalty& slot = report.getPenalty(item);
        if (slot.active == 0)
            continue;
        canvas.text(215, y, 10, Black, "- " + fieldText(slot.text));
        canvas.text(365, y, 9, Red, F::format("Rating: -%d", slot.ratingDeduction));
        canvas.text(455, y, 9, Red, F::format("Reputation: -%d", slot.reputationDeduction));
        y += 15;
    }
    const std::int32_t touchdown = PageData::snapshot(ui).lLandingVerticalSpeed;
    if (touchdown != 0)
        canvas.text(215, y, 10, Black, F::format("- Landing VS: %d", touchdown));
}

std::string CFlightPagePainter::firstFailingCheck()
{
    CFlightSimulatorInterface* sim = ui.getSimulator();
    const CClientInterface& client = ui.getClient();
    if (sim == nullptr)
        return "not started";
    if (fieldText(client.closestAirport) != fieldText(client.flightLog.l_Departure) ||
        client.closestAirportDistance > 10.0)
        return "wrong airport";
    if (sim->lRadarAltitude > 50)
        return "Not on ground";
    if (sim->lGroundSpeed > 5)
        return "Aircraft moving";
    if (sim->checkAircraftData() >= 1)
        return "wrong aircraft";
    return {};
}

void CFlightPagePainter::paintChecklist(CPageCanvas& canvas)
{
    canvas.heading("Checklist");
    CFlightSimulatorInterface* sim = ui.getSimulator();
    if (sim != nullptr && !sim->isConnected())
        sim->connect();
    const bool connected = sim != nullptr && sim->isConnected();
    canvas.text(215, 120, 6, Black, "Flight Simulator:");
    int y = 145;
    if (!connected) {
        canvas.text(365, 120, 6, Red, "not started");
    } else {
        canvas.text(365, 120, 6, Green, CFlightSimulatorInterface::getVersionChecklistText(sim->getSimulatorVersion()));
        canvas.text(365, 145, 6, Black, sim->getInterfaceName() + ":" + sim->getVersionText());
        // The painter cannot measure text, so the requirement goes flush right on the same row.
        if (!sim->checkVersion())
            canvas.right(575, 145, 6, Red, " [ needed: " + sim->getRequiredVersionText() + " ]");
        y += 25;
    }
    const bool booked = leadingInt(fieldText(ui.getClient().flightLog.l_ID)) >= 1;
    canvas.text(215, y, 6, Black, "Flight booked:");
    canvas.text(365, y, 6, booked ? Green : Red, booked ? "yes" : "no");
    if (!connected || !booked)
        return;
    y += 25;
    const std::string failing = firstFailingCheck();
    canvas.text(215, y, 6, Black, "Correct FS settings:");
    canvas.text(365, y, 6, failing.empty() ? Green : Red, failing.empty() ? "yes" : failing);
}
