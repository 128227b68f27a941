// CReportPagePainter: report pages and the aborted-flight page.
#include "ui/ReportPagePainter.h"

#include "core/FixedText.h"
#include "core/NumberConversion.h"
#include "report/IniParser.h"
#include "report/Report.h"
#include "server/ClientInterface.h"
#include "server/LeadingNumber.h"
#include "server/Records.h"
#include "sim/FlightSimulatorObjects.h"
#include "sim/SnapshotBlocks.h"
#include "ui/DisplayFormat.h"
#include "ui/PageCanvas.h"
#include "ui/PageData.h"
#include "ui/PageView.h"
#include "ui/UiState.h"

#include <cmath>

using namespace PageColour;
using F = CDisplayFormat;

namespace {

constexpr int kLabelX = 215;
constexpr int kValueX = 295;

std::string angleText(double degrees, char positive, char negative)
{
    const double magnitude = std::fabs(std::isfinite(degrees) ? degrees : 0.0);
    const int whole = truncToInt32(magnitude);
    return F::format("%c %3d ", degrees < 0 ? negative : positive, whole) + F::fixed((magnitude - whole) * 60.0, 3);
}

} // namespace

CReportPagePainter::CReportPagePainter(CPageView& userInterface) : ui(userInterface), log("CReportPagePainter") {}

std::string CReportPagePainter::latitudeText(double degrees)
{
    return angleText(degrees, 'N', 'S');
}

std::string CReportPagePainter::longitudeText(double degrees)
{
    return angleText(degrees, 'E', 'W');
}

std::string CReportPagePainter::altitudeText(double feet)
{
    return F::format("%d ft  %d m", truncToInt32(feet), truncToInt32(feet * 0.3048));
}

std::string CReportPagePainter::fuelMassText(int kg)
{
    return F::format("%d lb  %d kg", truncToInt32(kg * 2.20462), kg);
}

std::string CReportPagePainter::fuelVolumeText(int kg)
{
    return F::format("%d gal %d L", truncToInt32(kg * 0.328943601), truncToInt32(kg * 1.27495));
}

void CReportPagePainter::paintRoute(CPageCanvas& canvas)
{
    const Tervix_Reports& r = ui.getClient().report;
    canvas.heading("Report - Route");
    const char* const labels[] = {
        "Flight-Nr.:", "_______________", "Departure:", "Arrival:", "Distance:", "Duration:", "Passengers:"};
    for (int i = 0; i < 7; ++i)
        canvas.text(kLabelX, 120 + 20 * i, 3, Black, labels[i]);
    canvas.text(kValueX, 120, 8, Black, fieldText(r.Number));
    canvas.text(kValueX, 160, 8, Black, fieldText(r.Dep));
    canvas.text(kValueX, 180, 8, Black, fieldText(r.Arr));
    canvas.text(395, 180, 8, Black, "< Planned:");
    canvas.text(495, 180, 8, Black, fieldText(r.Pln_Arr));
    canvas.text(kValueX, 200, 8, Black, fieldText(r.Distance) + " nm");
    canvas.text(kValueX, 220, 8, Black, fieldText(r.Hours) + " h");
    canvas.text(395, 220, 8, Black, "< Estimated:");
    canvas.text(495, 220, 8, Black, fieldText(ui.getClient().flightLog.l_Duration) + " min");
    canvas.text(kValueX, 240, 8, Black, fieldText(r.PAX));
}

double CReportPagePainter::fareFactor()
{
    const CClientInterface& client = ui.getClient();
    const double ticket = client.types.d_Ticket > 0.0 ? client.types.d_Ticket : 1.0;
    const double multiplier = fieldDouble(client.flightLog.l_Multiplier);
    return ticket * (multiplier == 0.0 ? 1.0 : multiplier);
}

void CReportPagePainter::paintTicketRow(CPageCanvas& canvas, int y, const char* label, const char* passengers,
                                        const char* price)
{
    const int income = truncToInt32(leadingDouble(passengers) * leadingDouble(price) * fareFactor());
    canvas.text(kLabelX, y, 8, Black, label);
    canvas.right(385, y, 8, income > 0 ? Green : Black, F::format("%d v$", income));
}

void CReportPagePainter::paintFinances(CPageCanvas& canvas)
{
    const CClientInterface& client = ui.getClient();
    const Tervix_Reports& r = client.report;
    const CDisplayFormat unit(ui.getUiState().weightUnit);
    canvas.heading("Estimated Report - Finances");

    const int fuelKg = truncToInt32(fieldDouble(r.Fuel_Bought));
    const int fuelCost = truncToInt32(fuelKg * fieldDouble(r.Fuelprice) * 1.234);
    canvas.text(kLabelX, 120, 3, Black, "Fuel:");
    canvas.right(385, 120, 8, fuelKg >= 1 ? DarkRed : Black, F::format("-%d v$", fuelCost));
    canvas.text(405, 120, 8, Black, "< Amount:");
    canvas.text(505, 120, 8, Black, unit.mass(fuelKg));

    paintTicketRow(canvas, 140, "Tickets (Economy):", fieldText(r.PAX_Economy).c_str(), fieldText(r.Ticket).c_str());
    paintTicketRow(canvas, 160, "Tickets (Business):", fieldText(r.PAX_Business).c_str(),
                   fieldText(r.Ticket_Business).c_str());
    paintTicketRow(canvas, 180, "Tickets (First):", fieldText(r.PAX_First).c_str(), fieldText(r.Ticket_First).c_str());

    canvas.text(kLabelX, 200, 3, Black, "Crew&Catering:");
    canvas.right(385, 200, 8, r.Crew > 0 ? Red : Black, F::format("-%d v$", r.Crew));

    const int cargoIncome = truncToInt32(fieldDouble(r.Cargo));
    canvas.text(kLabelX, 220, 3, Black, "Cargo:");
    canvas.right(385, 220, 8, cargoIncome >= 1 ? Green : Black, F::format("%d v$", cargoIncome));
    canvas.text(405, 220, 8, Black, "< Amount:");
    canvas.text(505, 220, 8, Black, unit.mass(fieldDouble(r.Cargo_kg)));

    canvas.text(kLabelX, 240, 3, Black, "Bonus:");
    canvas.right(385, 240, 8, Black, F::format("%d v$", r.Bonus));
    canvas.text(kLabelX, 260, 3, Black, "________________________");

    // An empty multiplier would show every profit as 0; the flight counts once.
    const double multiplier = fieldDouble(r.Multiplier) == 0.0 ? 1.0 : fieldDouble(r.Multiplier);
    canvas.text(kLabelX, 280, 3, Black, "Profit:");
    canvas.right(385, 280, 8, Black, F::format("%d v$", truncToInt32(multiplier * r.Profit)));
    canvas.text(405, 280, 8, Black, "< Multiplier:");
    canvas.text(505, 280, 8, Black, std::string("x").append(fieldText(r.Multiplier)));

    canvas.text(kLabelX, 300, 3, Black, "Salary:");
    canvas.right(385, 300, 8, Black, F::format("%d v$", r.Salary));
    canvas.text(405, 300, 8, Black, "< Percentage:");
    canvas.text(505, 300, 8, Black, F::format("%d%%", client.airline.v_Pilotcharge));
}

void CReportPagePainter::paintPenalties(CPageCanvas& canvas)
{
    canvas.heading("Report - Penalties/Events");
    const CReport& report = ui.getReport();
    int number = 1;
    int y = 120;
    long long rating = 0;
    long long reputation = 0;
    for (int item = 0; item < ReportItemCount; ++item) {
        const struct_penalty& slot = report.getPenalty(item);
        if (slot.active == 0)
            continue;
        const Colour colour = slot.ratingDeduction >= 1 ? Red : Green;
        canvas.text(kLabelX, y, 3, Black, F::format("%d. %s", number++, fieldText(slot.text).c_str()));
        canvas.text(245, y + 15, 9, colour, F::format("Rating: -%d", slot.ratingDeduction));
        canvas.text(335, y + 15, 9, colour, F::format("Reputation: -%d", slot.reputationDeduction));
        rating += slot.ratingDeduction;
        reputation += slot.reputationDeduction;
        y += 35;
    }
    const Colour total = rating >= 1 ? Red : Green;
    canvas.text(kLabelX, 320, 3, Black, "Total:");
    canvas.text(245, 340, 9, total, F::format("Rating:  -%lld", rating));
    canvas.text(335, 340, 9, total, F::format("Reputation:  -%lld", reputation));
}

void CReportPagePainter::paintAbortedColumn(CPageCanvas& canvas, int x, const CFlightSimulatorObjects& state,
                                            int fuelKg)
{
    canvas.text(x, 202, 8, Black, latitudeText(state.dLatitude));
    canvas.text(x, 218, 8, Black, longitudeText(state.dLongitude));
    canvas.text(x, 234, 8, Black, altitudeText(state.dAltitude));
    canvas.text(x, 250, 8, Black, fuelMassText(fuelKg));
    canvas.text(x, 266, 8, Black, fuelVolumeText(fuelKg));
    canvas.text(x, 282, 8, Black, F::format("%d kt", state.lGroundSpeed));
    canvas.text(x, 298, 8, Black, F::format("%d", truncToInt32(state.dHeading)));
}

void CReportPagePainter::paintAbortedFlight(CPageCanvas& canvas)
{
    ui.setRedrawOnInput(true);
    canvas.wrapped(PageArea::Content, 0, Black,
                   "Your most recent flight was aborted, to continue, load the scenario 'QVL Autosave' and "
                   "immediately pause or use the information below to set your position in the simulator. Then use "
                   "the 'Continue Flight' button below.");
    canvas.text(285, 186, 7, Black, "Previous");
    canvas.text(415, 186, 7, Black, "Current");
    const char* const rows[] = {"Latitude", "Longitude", "Altitude", "Fuel", "", "Speed", "Heading"};
    for (int i = 0; i < 7; ++i)
        canvas.text(kLabelX, 202 + 16 * i, 7, Black, rows[i]);

    CIniParser& store = CIniParser::getInstance();
    AircraftData block{};
    TankData tanks{};
    if (store.readReportStruct("Report", "AircraftData", &block, sizeof block) &&
        store.readReportStruct("Report", "TankData", &tanks, sizeof tanks)) {
        CFlightSimulatorObjects saved;
        block.toSnapshot(saved);
        paintAbortedColumn(canvas, 285, saved, tanks.totalRounded());
    } else if (!missingAutosaveLogged) {
        missingAutosaveLogged = true;
        log.warn("The autosaved flight could not be read from the report store");
    }
    const CFlightSimulatorObjects& current = PageData::snapshot(ui);
    paintAbortedColumn(canvas, 415, current, current.fuelOnBoardRounded());
}
