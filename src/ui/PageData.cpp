// PageData: booking texts are read like every other service text (leading number, 0 when none).
#include "ui/PageData.h"

#include "core/FixedText.h"
#include "server/ClientInterface.h"
#include "server/LeadingNumber.h"
#include "sim/FlightSimulatorInterface.h"
#include "ui/DisplayFormat.h"
#include "ui/PageView.h"
#include "ui/UiState.h"

// The display format reads the user interface's unit codes.
static_assert(int{CDisplayFormat::UnitKg} == int{WeightUnitKg} && int{CDisplayFormat::UnitLbs} == int{WeightUnitLbs});

namespace PageData {

const CFlightSimulatorObjects& snapshot(CPageView& ui)
{
    static const CFlightSimulatorObjects none;
    const CFlightSimulatorInterface* sim = ui.getSimulator();
    return sim != nullptr ? *sim : none;
}

std::int64_t passengers(CPageView& ui)
{
    return leadingInt(fieldText(ui.getClient().flightLog.l_Passengers));
}

std::int64_t cargoKg(CPageView& ui)
{
    return leadingInt(fieldText(ui.getClient().flightLog.l_Cargo));
}

std::int64_t payloadKg(CPageView& ui)
{
    const Tervix_Logs& log = ui.getClient().flightLog;
    return passengers(ui) * CDisplayFormat::kPassengerKg + cargoKg(ui) + log.crew_wt + log.package_kg;
}

std::int64_t zeroFuelWeightKg(CPageView& ui)
{
    return ui.getClient().types.d_DOW + payloadKg(ui);
}

double fuelPrice(CPageView& ui)
{
    return leadingDouble(fieldText(ui.getClient().report.Fuelprice));
}

} // namespace PageData
