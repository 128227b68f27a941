// CClient: the steps of one tick and the Ctrl-Shift-L check.
#include "client/Client.h"

#include "core/ClientConfig.h"
#include "core/NumberConversion.h"
#include "monitor/CheatDetector.h"
#include "monitor/FlightState.h"
#include "monitor/blackbox/Blackbox.h"
#include "platform/Clock.h"
#include "platform/Toolkit.h"
#include "recorder/FlightRecorder.h"
#include "report/Report.h"
#include "server/ClientInterface.h"
#include "server/RequestDeadline.h"
#include "sim/FlightSimulatorInterface.h"
#include "sim/PollInterval.h"
#include "ui/ControlIds.h"
#include "ui/FlightActions.h"
#include "ui/UserInterface.h"

#include <cstdlib>
#include <sstream>

namespace {

// Values that outlive one driver object: the page clock, the simulator
// version and the autosave state of the flight.
struct ProcessValues {
    int lastPage = 0;
    std::uint32_t pageSince = 0;
    int simulatorVersion = 0;
    std::uint32_t lastAutosaveTime = 0;
    std::uint32_t autosaveCounter = 0;
    std::uint32_t lastContinueRefresh = 0;
};
ProcessValues g_process;

constexpr std::uint32_t kAutosaveRunning = 0xFFFFFFFFu;
constexpr std::uint32_t kAutosaveIntervalMs = 120000;
constexpr std::uint32_t kTickSleepMs = 10;

std::int32_t signedDiff(std::uint32_t a, std::uint32_t b)
{
    return static_cast<std::int32_t>(a - b);
}

} // namespace

CClient::CClient() : CClient(*CUserInterface::getInstance()) {}

CClient::CClient(CUserInterface& userInterface) : ui(&userInterface), log("CClient"), window(&userInterface.getWindow())
{
}

CClient::~CClient() = default;

void CClient::resetProcessValues()
{
    g_process = ProcessValues{};
}

std::uint32_t CClient::getAutosaveCounter()
{
    return g_process.autosaveCounter;
}

void CClient::refreshContent()
{
    ui->RedrawContent();
}

void CClient::tick()
{
    absenceTimers();
    CFlightSimulatorInterface* sim = ui->getSimulator();
    const int page = ui->getPage();
    bool carryOn = true;
    if (sim != nullptr && (page == PageLoadSheet || page == PageSimpleFuel || page == PageFuelTanks))
        preFlight(*sim);
    else if (sim != nullptr && page == PageFlying)
        carryOn = flying(*sim);
    else if (page == PageAbortedFlight)
        abortedFlightPage();
    else if (page == PageDownload)
        ui->getFlightActions().getAutoUpdate().deliver();
    if (carryOn) {
        if (sim != nullptr && sim->isConnected())
            sim->checkFrequently();
        statistics();
    }
    // Even a tick that gave up early pauses: a simulator that keeps failing
    // must not turn the loop into a busy spin. A window's loop spends the
    // pause waiting for its events rather than asleep.
    if (!window->pauseBeforeNextTick(kTickSleepMs))
        processClock().sleepMs(kTickSleepMs);
}

void CClient::absenceTimers()
{
    CReport& report = ui->getReport();
    const bool blocked = report.hasPenalty(ItemWrongAirport) || report.hasPenalty(ItemCrashed) ||
                         report.hasPenalty(ItemVeryHardLanding) || report.hasPenalty(ItemGearUpLanding) ||
                         report.hasPenalty(ItemWaterLanding);
    const int page = ui->getPage();
    if (page != g_process.lastPage) {
        g_process.lastPage = page;
        g_process.pageSince = now();
        return;
    }
    const std::uint32_t onPage = now() - g_process.pageSince;
    if (page == PageComment && !blocked && onPage > 300000)
        ui->OnButton(IdEndFlight);
    else if ((page == PageReportRoute || page == PageReportFinances || page == PageReportPenalties) && onPage > 60000)
        ui->OnButton(IdNext);
}

void CClient::preFlight(CFlightSimulatorInterface& sim)
{
    t1 = now();
    g_process.lastAutosaveTime = 0;
    g_process.simulatorVersion = 0;
    if (now() - lastSecondTime <= 1000)
        return;
    sim.getEverything();
    if (sim.dPayload != lastPayload) {
        lastPayload = sim.dPayload;
        ui->Redraw();
    }
    if (ui->fuelMethod == 2) {
        sim.getAircraftTanks();
        const double total = sim.fuelOnBoardRounded();
        if (total != lastFuelShown) {
            lastFuelShown = total;
            ui->RedrawContent();
        }
    }
    lastSecondTime = now();
    if (sim.lGroundSpeed > 5 && sim.lPaused == 0) {
        sim.pauseSimulator();
        sim.showText("Flight not started yet, pausing", 10, false);
    }
}

bool CClient::flying(CFlightSimulatorInterface& sim)
{
    // A slow service must not leave the flight unwatched: what cannot be
    // sent within this is queued for later.
    CRequestDeadline deadline(CRequestDeadline::kFlyingTickMs);
    t1 = now();
    if (g_process.simulatorVersion == 0)
        g_process.simulatorVersion = sim.getSimulatorVersion();
    if (g_process.lastAutosaveTime == 0)
        g_process.lastAutosaveTime = now();
    watchConnection(sim);
    t2 = now();
    if (now() - lastTrackerTime > 60000) {
        if (ui->trackerOn)
            ui->getReport().sendTracker();
        lastTrackerTime = now();
    }
    t3 = now();
    if (now() - lastAdaptTime > 1000 || now() - lastAdaptTime > static_cast<std::uint32_t>(checkInterval + 150))
        adaptInterval(sim);
    if (checkDue() && !runCheck(sim))
        return false;
    afterCheck(sim);
    return true;
}

void CClient::watchConnection(CFlightSimulatorInterface& sim)
{
    if (now() - lastSecondTime <= 5000)
        return;
    refreshContent();
    if (!sim.isConnected()) {
        bool reconnected = false;
        for (std::uint32_t d = 0; d <= 900 && !reconnected; d += 100) {
            processClock().sleepMs(d);
            reconnected = sim.connect();
        }
        if (!reconnected)
            connectionLost(sim);
    }
    lastSecondTime = now();
}

void CClient::connectionLost(CFlightSimulatorInterface& sim)
{
    if (sim.lFlightPhase == PhaseLanded) {
        ui->OnButton(IdEndFlight);
        log.error("Lost connection to Flight Simulator, flight ended!");
        window->messageBox("Lost Connection to Flight Simulator, flight ended!", "Flight Ended", MessageBoxButtons::Ok,
                           MessageBoxIcon::Warning);
        return;
    }
    log.error("Lost connection to Flight Simulator, flight aborted!");
    window->messageBox("Lost Connection to Flight Simulator, flight aborted!", "Flight Aborted",
                       MessageBoxButtons::Ok, MessageBoxIcon::Warning);
    ui->ResetFlight();
    ui->OnButton(IdLogin);
    ui->SetPage(PageHome);
}

void CClient::adaptInterval(CFlightSimulatorInterface& sim)
{
    checkInterval = pollIntervalForHeight(sim.lRadarAltitude);
    if (checkCount > 10 && checkTimeSum / checkCount > 50) {
        const double factor = static_cast<double>(checkTimeSum) / checkCount / 50.0;
        checkInterval *= static_cast<std::int32_t>(factor);
    }
    lastAdaptTime = now();
}

bool CClient::checkDue() const
{
    const std::int64_t diff = signedDiff(now(), nextCheckTime);
    return std::llabs(diff) >= checkInterval || now() < nextCheckTime;
}

bool CClient::runCheck(CFlightSimulatorInterface& sim)
{
    nextCheckTime = now() + 10000;
    const std::uint32_t start = now();
    ui->getFlightRecorder().check(sim);
    if (!sim.getEverything()) {
        log.error("Call to getEverything failed, stopping checks!");
        return false;
    }
    if (sim.getAircraftTanks() < 0) {
        log.error("Call to getAircraftTanks failed, stopping checks!");
        return false;
    }
    const std::uint32_t d = now() - start;
    if (d > 2u * static_cast<std::uint32_t>(checkInterval))
        checkInterval += static_cast<std::int32_t>(2 * d);
    ++checkCount;
    checkTimeSum += d;
    ui->getCheatDetector().check();
    if (!ui->advanceFlightState())
        ui->OnButton(IdEndFlight);
    checkExhaustedFuel(sim);
    countGearChanges(sim);
    autosave(sim);
    return true;
}

bool CClient::replayCheck()
{
    CFlightSimulatorInterface* sim = ui->getSimulator();
    if (sim == nullptr || !runCheck(*sim))
        return false;
    afterCheck(*sim);
    return true;
}

void CClient::checkExhaustedFuel(CFlightSimulatorInterface& sim)
{
    CReport& report = ui->getReport();
    if (report.hasPenalty(ItemExhaustedFuel) || !(sim.totalTankCapacity() > 0.0f))
        return;
    float onBoard = sim.fFuelOutsideTanks;
    for (float level : sim.fTankLevel)
        onBoard += level;
    if (onBoard != 0.0f || !(ui->getFlightState().getTakeoffTime() > 0.0))
        return;
    report.addPenalty(ItemExhaustedFuel);
    for (int engine = 0; engine < 4; ++engine)
        sim.failEngine(engine, true);
}

void CClient::countGearChanges(CFlightSimulatorInterface& sim)
{
    // Counted per flight: a running total would keep the gear-up rule
    // ("fewer than 20 movements") from ever firing after a few flights.
    if (gearFlight != ui->getFlightsBegun()) {
        gearFlight = ui->getFlightsBegun();
        gearChanges = 0;
        lastGearDown = false;
    }
    if (sim.bGearDown == lastGearDown)
        return;
    ++gearChanges;
    lastGearDown = sim.bGearDown;
    sim.lGearChangeCount = gearChanges;
    log.debugf("Gear state %s change count(%d)", sim.bGearDown ? "Down" : "Up", gearChanges);
}

void CClient::autosave(CFlightSimulatorInterface& sim)
{
    nextCheckTime = now();
    // A touchdown or a new report item is backed up at once.
    const bool requested = ui->getReport().takeBackupRequest();
    if (g_process.lastAutosaveTime == kAutosaveRunning || now() - g_process.lastAutosaveTime <= kAutosaveIntervalMs) {
        if (requested && ui->autosaveMode != 0)
            backupFlight(sim);
        return;
    }
    g_process.lastAutosaveTime = kAutosaveRunning;
    if (ui->autosaveMode > 1) {
        const int v = g_process.simulatorVersion;
        if (v == SimFS2020 || v == SimXPlane9 || v == SimXPlane10 || v == SimXPlane12 ||
            v == SimFlightGear) {
            log.warn("Wrong version for backup");
        } else {
            log.warn("Starting Autosave...");
            const bool saved = sim.saveFlight(static_cast<int>(g_process.autosaveCounter % 2) + 1);
            log.warn(saved ? "Autosave succeed" : "Autosave failed");
        }
    }
    if (ui->autosaveMode != 0) {
        log.warn("Creating Autosave Backup...");
        backupFlight(sim);
    }
    ++g_process.autosaveCounter;
    g_process.lastAutosaveTime = now();
    log.warn("Autosave Finished");
}

void CClient::backupFlight(CFlightSimulatorInterface& sim)
{
    CReport& report = ui->getReport();
    if (report.saveBackup(true) || backupWarnedFlight == ui->getFlightsBegun())
        return;
    // Once per flight: the pilot should know a continue is not possible.
    backupWarnedFlight = ui->getFlightsBegun();
    log.error("The flight could not be backed up: " + report.getBackupError());
    sim.showText("Quenvale: the flight could not be backed up (" + report.getBackupError() + ")", 10, true);
}

void CClient::afterCheck(CFlightSimulatorInterface& sim)
{
    t4 = now();
    if (std::llabs(static_cast<std::int64_t>(signedDiff(now(), lastFailureTime))) >= 100) {
        // Failures strike against the whole seconds since departure once the
        // aircraft has left the stand.
        const double departSeconds = ui->getClient().report.departSeconds;
        if (departSeconds != 0.0)
            ui->updateFailures(truncToInt32(sim.dFlightTime - departSeconds));
        lastFailureTime = now();
    }
    if (now() - lastPositionTime > CClientConfig::getInstance().getPositionUploadInterval()) {
        lastPositionTime = now();
        ui->getReport().recordPosition();
    }
    ui->getBlackbox().check();
}

void CClient::abortedFlightPage()
{
    if (now() - g_process.lastContinueRefresh > 5000) {
        ui->RedrawContinueColumn();
        g_process.lastContinueRefresh = now();
    }
}

void CClient::statistics()
{
    loopTime = signedDiff(now(), lastStatsTime);
    if (loopTime <= 300000)
        return;
    std::ostringstream line;
    line << "Loop time: " << loopTime << "ms" << " / T1: " << t1 << " T2: " << t2 << " T3: " << t3 << " T4: " << t4;
    if (checkCount != 0)
        line << " TA: " << static_cast<double>(checkTimeSum) / checkCount << " TC: " << checkCount;
    if (countAtLastStats != 0 && countAtLastStats != checkCount)
        line << " TR: " << (checkTimeSum - sumAtLastStats) / (checkCount - countAtLastStats);
    log.warn(line.str());
    sumAtLastStats = checkTimeSum;
    countAtLastStats = checkCount;
    lastStatsTime = now();
}

void CClient::checkKeyboard()
{
    if (ui->getPage() != PageFlying)
        return;
    const bool allDown = window->isKeyDown(Key::L) && window->isKeyDown(Key::Control) && window->isKeyDown(Key::Shift);
    if (!allDown) {
        keyLatch = false;
        return;
    }
    if (!keyLatch) {
        ui->OnButton(IdToggleLandingLights);
        keyLatch = true;
        log.debug("Pressed Ctrl-Shift-L");
    }
}
