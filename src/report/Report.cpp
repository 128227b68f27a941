// CReport: report items.
#include "report/Report.h"

#include "core/FixedText.h"
#include "report/EventLog.h"
#include "report/FlightEvaluation.h"
#include "server/ClientInterface.h"
#include "sim/FlightSimulatorInterface.h"

#include <cstring>

namespace {

struct ItemInfo {
    const char* reason;
    const char* display;
    int rating;
    int reputation;
};

const ItemInfo kItems[ReportItemCount] = {
    {"overspeed - taxi", "Penalty - overspeed taxi", 5, 0},
    {"wrong airport", "Penalty - wrong airport", 15, 5},
    {"crashed", "Penalty - crash", 50, 20},
    {"still rolling when ending flight", "Penalty - still rolling when ending flight", 5, 0},
    {"parking brakes", "Penalty - parking brakes not enabled", 5, 0},
    {nullptr, nullptr, 0, 0},
    {nullptr, nullptr, 0, 0},
    {"overspeed under FL100", "Penalty - overspeed under FL100", 5, 0},
    {"exhausted fuel supply", "Penalty - exhausted fuel supply", 15, 5},
    {"inflight refueling", "Penalty - refueling during flight", 0, 0},
    {"Hard landing", "Penalty - Hard landing", 5, 0},
    {"Exceeded maximum landing weight", "Exceeded maximum landing weight", 0, 0},
    {"Low altitude", "Penalty - low altitiude", 5, 0},
    {"High speed disabled", "High speed disabled", 5, 0},
    {"Penalties disabled", "Penalties disabled", 10, 0},
    {"Engine Failure", "Engine Failure", 0, 0},
    {"Gear Failure", "Gear Failure", 0, 0},
    {"Flaps Failure", "Flaps Failure", 0, 0},
    {"Restored Flight", "Restored Flight", 0, 0},
    {"Very Hard Landing", "Penalty - very hard landing", 15, 5},
    {"Ground Accident", "Penalty - ground accident", 5, 0},
    {"Serious Ground Accident", "Penalty - serious ground accident", 15, 5},
    {"Gear Up Landing", "Penalty - gear up landing", 15, 5},
    {"Water Landing", "Penalty - water landing", 50, 20},
};

} // namespace

CReport::CReport(CFlightSimulatorInterface* sim, CClientInterface& clientInterface, CEventLog* events)
    : simulator(sim), client(clientInterface), eventLog(events), log("CReport"), tracker(clientInterface)
{
    clearPenalties();
    tracker.setSimulator(sim);
}

CReport::~CReport() = default;

bool CReport::isSuppressible(int item)
{
    switch (item) {
    case 0: case 3: case 4: case 5: case 6: case 7: case 10: case 11: case 12: case 13:
        return true;
    default:
        return false;
    }
}

const char* CReport::reasonText(int item)
{
    return validItem(item) && kItems[item].reason != nullptr ? kItems[item].reason : "";
}

const char* CReport::displayText(int item)
{
    return validItem(item) && kItems[item].display != nullptr ? kItems[item].display : "";
}

bool CReport::addPenalty(int item)
{
    if (!validItem(item) || kItems[item].reason == nullptr) {
        log.warnf("Report item %d does not exist", item);
        return false;
    }
    if (isSuppressible(item) && penalties[ItemPenaltiesDisabled].active != 0)
        return false;
    struct_penalty& slot = penalties[item];
    slot.active = 1;
    copyText(slot.text, kItems[item].reason);
    slot.ratingDeduction = kItems[item].rating;
    slot.reputationDeduction = kItems[item].reputation;
    if (item == ItemInflightRefueling && simulator != nullptr)
        log.warnf("Inflight refueling recongnized: %d -> %d", simulator->lFuelOnBoard,
                  simulator->fuelOnBoardRounded());
    if (eventLog != nullptr)
        eventLog->logEvent(kItems[item].display);
    // A continued flight must keep its items.
    backupRequested = true;
    return true;
}

void CReport::removePenalty(int item)
{
    if (!validItem(item))
        return;
    std::memset(&penalties[item], 0, sizeof penalties[item]);
}

bool CReport::hasPenalty(int item) const
{
    if (!validItem(item))
        return false;
    if (penalties[item].active != 0)
        return true;
    return isSuppressible(item) && penalties[ItemPenaltiesDisabled].active != 0;
}

void CReport::clearPenalties()
{
    std::memset(penalties, 0, sizeof penalties);
}

bool CReport::evaluateFlight()
{
    if (simulator == nullptr) {
        log.warn("No simulator snapshot, report not evaluated");
        return true;
    }
    CFlightEvaluation(*this, client, *simulator).run();
    return true;
}

void CReport::resetFlightData()
{
    Tervix_VirtualAirlines& airline = client.airline;
    airline.v_Reputation = 0;
    airline.v_Pilotcharge = 0;
    copyText(airline.v_Name, "");
    copyText(airline.v_Multiplier, "");
    copyText(airline.v_ID, "0");
    std::memset(&client.pilot, 0, sizeof client.pilot);
    std::memset(&client.report, 0, sizeof client.report);
    clearPenalties();
    tracker.clear();
    // A report held in memory keeps its own mark in its image.
    reportUploaded = false;
    backupRequested = false;
}
