// CFuelPagePainter: tank page and load sheet.
#include "ui/FuelPagePainter.h"

#include "core/FixedText.h"
#include "core/NumberConversion.h"
#include "server/ClientInterface.h"
#include "sim/FlightSimulatorInterface.h"
#include "ui/DisplayFormat.h"
#include "ui/FlightActions.h"
#include "ui/PageCanvas.h"
#include "ui/PageData.h"
#include "ui/PageView.h"
#include "ui/TankFields.h"
#include "ui/UiState.h"

#include <algorithm>
#include <cstdlib>

using namespace PageColour;
using F = CDisplayFormat;

namespace {

struct SheetLabel {
    const char* text;
    int y;
};

const SheetLabel kLoadSheetLabels[] = {
    {"Dry Operating Weight:", 106}, {"Passengers:", 126},   {"Cargo:", 146},           {"Crew:", 166},
    {"Zero Fuel Weight", 186},      {"Simulator ZFW", 206}, {"Initial Fuel:", 226},    {"Additional Fuel:", 246},
    {"Total Fuel:", 266},           {"Reserve Fuel:", 286}, {"Maximum Payload:", 306}, {"Take Off Weight:", 326},
    {"Max Take Off Weight:", 346},
};

std::string priceText(double price)
{
    return F::fixed(price, 2) + " v$ / l";
}

} // namespace

void CFuelPagePainter::paintTanks(CPageCanvas& canvas)
{
    canvas.heading("Fuel Up");
    if (ui.isRedrawOnInput())
        ui.getFlightActions().takeFuelInputs();
    const CFlightSimulatorObjects& s = PageData::snapshot(ui);
    const CDisplayFormat unit(ui.getUiState().weightUnit);
    for (const TankField& field : kTankFields) {
        canvas.text(field.x, field.y - 13, 11, Black, field.name);
        canvas.text(field.x, field.y + 24, 12, Black, "max " + unit.mass(s.fTankCapacity[field.slot]));
    }
    paintFuelBill(canvas);
}

void CFuelPagePainter::paintFuelBill(CPageCanvas& canvas)
{
    const CDisplayFormat unit(ui.getUiState().weightUnit);
    const std::int32_t initial = ui.getClient().aircraft.a_Fuel;
    const std::int32_t loaded = PageData::snapshot(ui).fuelOnBoardRounded();
    const long long added = static_cast<long long>(loaded) - initial;
    const double price = PageData::fuelPrice(ui);
    canvas.text(26, 87, 3, White, "Fuel...");
    const char* const labels[] = {"...initially:", "...loaded:", "...added:", "...price:", "...total:"};
    for (int i = 0; i < 5; ++i)
        canvas.text(26, 110 + 20 * i, 5, Grey50, labels[i]);
    canvas.right(160, 110, 4, Grey100, unit.mass(initial));
    canvas.right(160, 130, 4, Grey100, unit.mass(loaded));
    canvas.right(160, 150, 4, Grey100, unit.mass(static_cast<double>(added)));
    canvas.right(172, 170, 4, Grey100, priceText(price));
    canvas.right(160, 190, 4, Grey100, F::format("%d v$", truncToInt32(price * static_cast<double>(added) * 1.234)));
}

void CFuelPagePainter::pollForLoadSheet()
{
    CFlightSimulatorInterface* sim = ui.getSimulator();
    if (sim == nullptr)
        return;
    sim->getEverything();
    if (ui.getUiState().fuelMethod == CUiState::kFuelReadOnly) {
        sim->getAircraftTanks();
        ui.getFlightActions().updateLoadSheetButtons();
    } else {
        ui.getFlightActions().takeFuelInputs();
    }
}

std::string CFuelPagePainter::simulatorDifference(long long simulatorKg, long long zeroFuelKg) const
{
    const long long difference = simulatorKg - zeroFuelKg;
    if (std::llabs(difference) * 100 < std::llabs(zeroFuelKg))
        return {};
    const CDisplayFormat unit(ui.getUiState().weightUnit);
    return "(" + std::string(difference > 0 ? "+" : "") + unit.mass(static_cast<double>(difference)) + ")";
}

void CFuelPagePainter::paintLoadSheet(CPageCanvas& canvas, bool confirm)
{
    canvas.heading(confirm ? "Confirm Flight" : "Fuel Up");
    pollForLoadSheet();
    for (const SheetLabel& label : kLoadSheetLabels)
        canvas.text(200, label.y, 6, Black, label.text);
    paintWeights(canvas, confirm);
}

void CFuelPagePainter::paintWeights(CPageCanvas& canvas, bool confirm)
{
    const CClientInterface& client = ui.getClient();
    const AircraftTypeData& t = client.types;
    const Tervix_Logs& log = client.flightLog;
    const CFlightSimulatorObjects& s = PageData::snapshot(ui);
    const CDisplayFormat unit(ui.getUiState().weightUnit);
    const long long passengers = PageData::passengers(ui);
    const long long cargo = PageData::cargoKg(ui) + log.package_kg;
    const long long zeroFuel = PageData::zeroFuelWeightKg(ui);
    const long long fuel = s.fuelOnBoardRounded();
    const long long takeOff = zeroFuel + fuel;

    canvas.right(420, 106, 6, Black, unit.mass(t.d_DOW));
    canvas.right(300, 126, 6, Black, std::to_string(passengers));
    canvas.text(305, 126, 6, Black, "x " + unit.mass(CDisplayFormat::kPassengerKg));
    canvas.right(420, 126, 6, Black, unit.mass(static_cast<double>(passengers * CDisplayFormat::kPassengerKg)));
    if (log.package_kg > 0)
        canvas.text(250, 146, 6, Black, "(Packages " + unit.mass(log.package_kg) + ")");
    canvas.right(420, 146, 6, Black, unit.mass(static_cast<double>(cargo)));
    canvas.right(420, 166, 6, Black, unit.mass(log.crew_wt));
    canvas.right(375, 186, 6, Black, unit.mass(static_cast<double>(zeroFuel)));

    const long long simulatorZfw = s.lEmptyWeight + truncToInt32(s.dPayload);
    canvas.right(375, 206, 6, Black, unit.mass(static_cast<double>(simulatorZfw)));
    const std::string difference = simulatorDifference(simulatorZfw, zeroFuel);
    if (!difference.empty()) {
        const bool far = std::llabs(simulatorZfw - zeroFuel) * 10 >= std::llabs(zeroFuel);
        canvas.text(405, 206, 6, far ? Red : Black, difference);
    }

    canvas.right(375, 226, 6, Black, unit.mass(client.aircraft.a_Fuel));
    canvas.text(400, 226, 6, Black, priceText(PageData::fuelPrice(ui)));
    if (confirm)
        canvas.right(375, 246, 6, Black, unit.mass(static_cast<double>(fuel - client.aircraft.a_Fuel)));
    canvas.right(420, 266, 6, Black, unit.mass(static_cast<double>(fuel)));
    canvas.right(375, 286, 6, Black, unit.mass(s.lExtraFuel));
    const long long maxPayload =
        std::min<long long>(static_cast<long long>(t.d_MLW) - log.crew_wt - s.lExtraFuel - t.d_DOW,
                            static_cast<long long>(t.d_MZFW) - t.d_DOW);
    canvas.right(375, 306, 6, Black, unit.mass(static_cast<double>(maxPayload)));
    canvas.right(420, 326, 6, Black, unit.mass(static_cast<double>(takeOff)));
    canvas.right(420, 346, 6, Black, unit.mass(t.d_MTOW));
    paintWarnings(canvas, confirm, takeOff);
}

void CFuelPagePainter::paintWarnings(CPageCanvas& canvas, bool confirm, long long takeOffKg)
{
    CFlightSimulatorInterface* sim = ui.getSimulator();
    const CFlightSimulatorObjects& s = PageData::snapshot(ui);
    if (confirm && ui.getUiState().fuelMethod != CUiState::kFuelReadOnly &&
        std::llabs(static_cast<long long>(s.fuelOnBoardRounded()) - s.lFuelRequested) > 2) {
        canvas.text(445, 306, 6, Red, "Warning: Unexpected");
        canvas.text(445, 326, 6, Red, "fuel value! Unable to");
        canvas.text(445, 346, 6, Red, "refuel aircraft!");
        return;
    }
    long long excess = takeOffKg - ui.getClient().types.d_MTOW;
    std::string limit = " MTOW";
    if (confirm) {
        excess = sim != nullptr ? sim->getOverweight() : 0;
        limit = sim != nullptr ? sim->getOverweightLimit() : "";
    }
    if (excess >= 1)
        canvas.text(450, 346, 6, Red,
                    "(Over " + CDisplayFormat(ui.getUiState().weightUnit).mass(static_cast<double>(excess)) + limit +
                        ")");
}
