// CLoadSheetActions: fuel fields, fuelling and the load-sheet remedies.
#include "ui/LoadSheetActions.h"

#include "core/FixedText.h"
#include "core/NumberConversion.h"
#include "platform/Toolkit.h"
#include "server/ClientInterface.h"
#include "server/LeadingNumber.h"
#include "sim/FlightSimulatorInterface.h"
#include "ui/ControlIds.h"
#include "ui/UserInterface.h"
#include "ui/WeightUnit.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr int kPassengerKg = 102;
constexpr int kFuelStandard = 0;
constexpr int kFuelSimple = 1;
constexpr int kFuelReadOnly = 2;

// The tank field of each snapshot slot, in slot order.
constexpr int kTankField[CFlightSimulatorObjects::kTankCount] = {
    IdTankMainCenter, IdTankMainLeft, IdTankMainRight, IdTankAuxLeft,   IdTankAuxRight, IdTankTipLeft,
    IdTankTipRight,   IdTankCenter2,  IdTankCenter3,   IdTankExternal1, IdTankExternal2};

std::string formatWhole(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.0f", value);
    return text;
}

std::int32_t clampToInt32(std::int64_t v)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}

} // namespace

CLoadSheetActions::CLoadSheetActions(CUserInterface& userInterface) : ui(userInterface), log("CLoadSheetActions") {}

bool CLoadSheetActions::readOnly() const
{
    return ui.fuelMethod == kFuelReadOnly;
}

bool CLoadSheetActions::simpleFuel() const
{
    return ui.fuelMethod == kFuelSimple;
}

void CLoadSheetActions::enableButton(int id, bool enabled)
{
    ui.getWindow().setButtonLook(id, false, enabled);
}

std::int32_t CLoadSheetActions::hourlyReserveRate(const AircraftTypeData& t)
{
    if (t.d_range == 0)
        return 0;
    const std::int64_t byCapacity = std::int64_t{t.d_fuel} / 5;
    const std::int64_t byRange = std::int64_t{t.d_fuel} * t.d_speed / t.d_range / 2;
    return clampToInt32(std::min(byCapacity, byRange));
}

void CLoadSheetActions::takeFuelInputs()
{
    CFlightSimulatorInterface* sim = ui.getSimulator();
    if (sim == nullptr || readOnly())
        return;
    CClientInterface& client = ui.getClient();
    const CWeightUnit unit = CWeightUnit::ofPilot(client.pilot);
    Window& window = ui.getWindow();
    if (simpleFuel()) {
        const std::int64_t added = unit.toKg(CWeightUnit::readNumber(window.getControlText(IdEditAdditionalFuel)));
        const std::int32_t total = clampToInt32(added + client.aircraft.a_Fuel);
        if (total != sim->fuelOnBoardRounded())
            sim->distributeFuel(total);
        return;
    }
    for (int slot = 0; slot < CFlightSimulatorObjects::kTankCount; ++slot) {
        const double typed = CWeightUnit::readNumber(window.getControlText(kTankField[slot]));
        // A tank holds no negative fuel, whatever was typed.
        sim->fTankLevel[slot] = static_cast<float>(std::max(unit.toKg(typed), 0));
    }
}

void CLoadSheetActions::fillFuelFields(bool forceRead)
{
    CFlightSimulatorInterface* sim = ui.getSimulator();
    if (sim == nullptr)
        return;
    if (forceRead || readOnly())
        sim->getAircraftTanks();
    CClientInterface& client = ui.getClient();
    sim->lExtraFuel = hourlyReserveRate(client.types);
    sim->lExtraFuelSteps = 4;
    const CWeightUnit unit = CWeightUnit::ofPilot(client.pilot);
    Window& window = ui.getWindow();
    if (simpleFuel()) {
        const double added = static_cast<double>(sim->fuelOnBoardRounded()) - client.aircraft.a_Fuel;
        window.setControlText(IdEditAdditionalFuel, formatWhole(unit.toDisplay(added)));
        return;
    }
    // Filling the fields must not make each change repaint the window.
    const bool redraw = ui.isRedrawOnInput();
    ui.setRedrawOnInput(false);
    for (int slot = 0; slot < CFlightSimulatorObjects::kTankCount; ++slot) {
        window.setControlText(kTankField[slot], formatWhole(unit.toDisplay(sim->fTankLevel[slot])));
        window.enableControl(kTankField[slot], sim->fTankCapacity[slot] != 0.0f);
    }
    ui.setRedrawOnInput(redraw);
}

void CLoadSheetActions::updateLoadSheetButtons()
{
    CFlightSimulatorInterface* sim = ui.getSimulator();
    if (sim == nullptr)
        return;
    Window& window = ui.getWindow();
    if (readOnly()) {
        window.showControl(IdReservePlus, false);
        window.showControl(IdReserveMinus, false);
        window.showControl(IdChangeFuel, false);
    }
    const CClientInterface& client = ui.getClient();
    if (sim->getOverweight() <= 0) {
        enableButton(IdChangePassengers, false);
        enableButton(IdChangeCargo, false);
        if (!readOnly())
            enableButton(IdChangeFuel, false);
        window.showControl(IdFly, true);
        return;
    }
    window.showControl(IdFly, false);
    enableButton(IdChangePassengers, leadingInt(fieldText(client.flightLog.l_Passengers)) != 0);
    enableButton(IdChangeCargo, leadingInt(fieldText(client.flightLog.l_Cargo)) != 0);
    if (!readOnly())
        enableButton(IdChangeFuel, true);
}

void CLoadSheetActions::setFuelPage(int page)
{
    ui.SetPage(page);
    if (page == PageFuelTanks || page == PageSimpleFuel)
        fillFuelFields(true);
    else if (page == PageLoadSheet)
        updateLoadSheetButtons();
}

void CLoadSheetActions::fuelUp()
{
    CFlightSimulatorInterface* sim = ui.getSimulator();
    if (sim == nullptr)
        return;
    takeFuelInputs();
    const std::int32_t wanted = sim->fuelOnBoardRounded();
    sim->lFuelRequested = wanted;
    sim->setAircraftTanks();
    sim->getAircraftTanks();
    sim->lFuelReadBack = sim->fuelOnBoardRounded();
    sim->keepTankLevels();
    const std::int64_t missing = std::int64_t{wanted} - sim->lFuelReadBack;
    if (std::llabs(missing) <= kFuelUpToleranceKg) {
        ui.SetPage(PageLoadSheet);
        updateLoadSheetButtons();
    } else {
        log.warnf("Fuel not accepted by the simulator: asked %d kg, read back %d kg", wanted, sim->lFuelReadBack);
        ui.SetPage(PageFuelError);
    }
    ui.Redraw();
}

void CLoadSheetActions::loadInitialFuel()
{
    CFlightSimulatorInterface* sim = ui.getSimulator();
    if (sim == nullptr)
        return;
    sim->distributeFuel(ui.getClient().aircraft.a_Fuel);
    fillFuelFields(false);
    if (ui.isRedrawOnInput())
        ui.Redraw();
}

void CLoadSheetActions::back()
{
    const int page = ui.getPage();
    if (page == PageFuelTanks || page == PageSimpleFuel || readOnly()) {
        ui.SetPage(PageHome);
        return;
    }
    setFuelPage(simpleFuel() ? PageSimpleFuel : PageFuelTanks);
}

void CLoadSheetActions::changePassengers()
{
    CFlightSimulatorInterface* sim = ui.getSimulator();
    if (sim == nullptr)
        return;
    for (int n = sim->getOverweight(); n >= 1 && sim->lPassengers >= 1; n -= kPassengerKg)
        --sim->lPassengers;
    copyText(ui.getClient().flightLog.l_Passengers, std::to_string(sim->lPassengers));
    updateLoadSheetButtons();
    ui.Redraw();
}

void CLoadSheetActions::changeCargo()
{
    CFlightSimulatorInterface* sim = ui.getSimulator();
    if (sim == nullptr)
        return;
    CClientInterface& client = ui.getClient();
    const std::int32_t n = sim->getOverweight();
    const std::int32_t c = leadingInt(fieldText(client.flightLog.l_Cargo));
    if (n >= 1 && c >= 1) {
        const std::int32_t cargo = c - n < 1 ? 0 : c - n;
        copyText(client.flightLog.l_Cargo, std::to_string(cargo));
        sim->lCargo = cargo;
    }
    updateLoadSheetButtons();
    ui.Redraw();
}

void CLoadSheetActions::changeFuel()
{
    CFlightSimulatorInterface* sim = ui.getSimulator();
    if (sim == nullptr)
        return;
    if (!simpleFuel()) {
        setFuelPage(PageFuelTanks);
        return;
    }
    CClientInterface& client = ui.getClient();
    const AircraftTypeData& t = client.types;
    const Tervix_Logs& l = client.flightLog;
    const std::int64_t room = std::int64_t{t.d_MTOW} - t.d_DOW - l.crew_wt - l.package_kg -
                              std::int64_t{leadingInt(fieldText(l.l_Passengers))} * kPassengerKg -
                              leadingInt(fieldText(l.l_Cargo));
    Window& window = ui.getWindow();
    if (room < 1 || client.aircraft.a_Fuel >= room) {
        window.setControlText(IdEditAdditionalFuel, "0");
        ui.SetPage(PageSimpleFuel);
        return;
    }
    const std::int32_t fuel = clampToInt32(room);
    sim->distributeFuel(fuel);
    sim->lFuelRequested = fuel;
    const CWeightUnit unit = CWeightUnit::ofPilot(client.pilot);
    const double added = unit.toDisplay(static_cast<double>(fuel - client.aircraft.a_Fuel));
    window.setControlText(IdEditAdditionalFuel, std::to_string(truncToInt32(added)));
    window.showControl(IdFly, true);
    window.showControl(IdChangePassengers, false);
    window.showControl(IdChangeCargo, false);
    window.showControl(IdChangeFuel, false);
    sim->setAircraftTanks();
    ui.Redraw();
}

void CLoadSheetActions::reservePlus()
{
    CFlightSimulatorInterface* sim = ui.getSimulator();
    if (sim == nullptr)
        return;
    const AircraftTypeData& t = ui.getClient().types;
    const std::int64_t rate = hourlyReserveRate(t);
    sim->lExtraFuelSteps += 1;
    sim->lExtraFuel = clampToInt32(rate * sim->lExtraFuelSteps / 4);
    const bool full = t.d_fuel / 2 < sim->lExtraFuel || sim->fuelOnBoardRounded() < sim->lExtraFuel + rate;
    enableButton(IdReservePlus, !full);
    enableButton(IdReserveMinus, true);
    updateLoadSheetButtons();
    ui.Redraw();
}

void CLoadSheetActions::reserveMinus()
{
    CFlightSimulatorInterface* sim = ui.getSimulator();
    if (sim == nullptr)
        return;
    sim->lExtraFuelSteps = std::max(sim->lExtraFuelSteps - 1, 0);
    if (sim->lExtraFuelSteps < 1) {
        sim->lExtraFuel = 0;
        enableButton(IdReserveMinus, false);
    } else {
        const std::int64_t rate = hourlyReserveRate(ui.getClient().types);
        sim->lExtraFuel = clampToInt32(rate * sim->lExtraFuelSteps / 4);
    }
    enableButton(IdReservePlus, true);
    updateLoadSheetButtons();
    ui.Redraw();
}
