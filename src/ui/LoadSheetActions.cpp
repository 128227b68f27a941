// CLoadSheetActions: fuel fields, fuelling and the load-sheet remedies.
#include "ui/LoadSheetActions.h"

#include "core/FixedText.h"
#include "core/NumberConversion.h"
#include "platform/Toolkit.h"
#include "server/ClientInterface.h"
#include "server/LeadingNumber.h"
#include "sim/FlightSimulatorInterface.h"
#include "ui/ActionHost.h"
#include "ui/ControlIds.h"
#include "ui/DisplayFormat.h"
#include "ui/TankFields.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

// A fuel field's text: the mass in the pilot's unit, rounded to whole units.
std::string fuelFieldText(double kg, int weightUnit)
{
    const double shown = weightUnit == CDisplayFormat::UnitLbs ? kg * CDisplayFormat::kLbsPerKg : kg;
    return CDisplayFormat::fixed(shown, 0);
}

} // namespace

CLoadSheetActions::CLoadSheetActions(CActionHost& userInterface) : ui(userInterface), log("CLoadSheetActions") {}

bool CLoadSheetActions::readOnly() const
{
    return ui.fuelMethod == CUiState::kFuelReadOnly;
}

bool CLoadSheetActions::simpleFuel() const
{
    return ui.fuelMethod == CUiState::kFuelSimple;
}

void CLoadSheetActions::enableButton(int id, bool enabled)
{
    ui.setEnabled(id, enabled);
}

void CLoadSheetActions::showButton(int id, bool visible)
{
    if (visible)
        ui.showObject(id);
    else
        ui.hideObject(id);
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
    const CDisplayFormat unit(ui.weightUnit);
    if (simpleFuel()) {
        const std::int64_t added = unit.toKg(ui.getNumber(IdEditAdditionalFuel));
        const std::int32_t total = clampToInt32(added + client.aircraft.a_Fuel);
        if (total != sim->fuelOnBoardRounded())
            sim->distributeFuel(total);
        return;
    }
    for (const TankField& field : kTankFields) {
        // A tank holds no negative fuel, whatever was typed.
        sim->fTankLevel[field.slot] = static_cast<float>(std::max(unit.toKg(ui.getNumber(field.id)), 0));
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
    if (simpleFuel()) {
        const double added = static_cast<double>(sim->fuelOnBoardRounded()) - client.aircraft.a_Fuel;
        ui.setText(IdEditAdditionalFuel, fuelFieldText(added, ui.weightUnit));
        return;
    }
    // Filling the fields must not make each change repaint the window.
    const bool redraw = ui.isRedrawOnInput();
    ui.setRedrawOnInput(false);
    for (const TankField& field : kTankFields) {
        ui.setText(field.id, fuelFieldText(sim->fTankLevel[field.slot], ui.weightUnit));
        ui.enableWindow(field.id, sim->fTankCapacity[field.slot] != 0.0f);
    }
    ui.setRedrawOnInput(redraw);
}

void CLoadSheetActions::updateLoadSheetButtons()
{
    CFlightSimulatorInterface* sim = ui.getSimulator();
    if (sim == nullptr)
        return;
    if (readOnly()) {
        showButton(IdReservePlus, false);
        showButton(IdReserveMinus, false);
        showButton(IdChangeFuel, false);
    }
    const CClientInterface& client = ui.getClient();
    if (sim->getOverweight() <= 0) {
        enableButton(IdChangePassengers, false);
        enableButton(IdChangeCargo, false);
        if (!readOnly())
            enableButton(IdChangeFuel, false);
        showButton(IdFly, true);
        return;
    }
    showButton(IdFly, false);
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
    for (int n = sim->getOverweight(); n >= 1 && sim->lPassengers >= 1; n -= CDisplayFormat::kPassengerKg)
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
                              std::int64_t{leadingInt(fieldText(l.l_Passengers))} * CDisplayFormat::kPassengerKg -
                              leadingInt(fieldText(l.l_Cargo));
    if (room < 1 || client.aircraft.a_Fuel >= room) {
        ui.setText(IdEditAdditionalFuel, "0");
        ui.SetPage(PageSimpleFuel);
        return;
    }
    const std::int32_t fuel = clampToInt32(room);
    sim->distributeFuel(fuel);
    sim->lFuelRequested = fuel;
    const CDisplayFormat unit(ui.weightUnit);
    ui.setText(IdEditAdditionalFuel,
               std::to_string(unit.toDisplay(static_cast<double>(fuel) - client.aircraft.a_Fuel)));
    showButton(IdFly, true);
    showButton(IdChangePassengers, false);
    showButton(IdChangeCargo, false);
    showButton(IdChangeFuel, false);
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
