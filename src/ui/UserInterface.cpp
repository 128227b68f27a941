// CUserInterface: ownership, pages, the button dispatch and the flight-state step.
#include "ui/UserInterface.h"

#include "core/FixedText.h"
#include "monitor/CheatDetector.h"
#include "monitor/FlightState.h"
#include "monitor/blackbox/Blackbox.h"
#include "platform/Toolkit.h"
#include "report/Report.h"
#include "server/ClientInterface.h"
#include "sim/FlightSimulatorInterface.h"
#include "ui/ControlIds.h"
#include "ui/Sound.h"

#include <sstream>

namespace {

CUserInterface* g_instance = nullptr;

constexpr Rect kContentArea{190, 81, 580, 360};
constexpr Rect kContinueColumn{415, 200, 580, 315};

struct Caption {
    int id;
    const char* text;
};

const Caption kCaptions[] = {
    {IdExit, "Exit"}, {IdClose, "x"}, {IdLogin, "Login"}, {IdHome, "Home"}, {IdOptions, "Options"},
    {IdFlightInformation, "Flight Information"}, {IdFly, "Fly!"}, {IdEndFlight, "End flight"}, {IdNext, "Next"},
    {IdSaveChanges, "Save changes"}, {IdMinimise, "-"}, {IdHide, "^"}, {IdDivert, "Divert!"},
    {IdFuelUp, "Fuel Up!"}, {IdLoadInitialFuel, "Load Initial Fuel!"}, {IdBackFromTanks, "Back"},
    {IdBackFromSimpleFuel, "Back"}, {IdUpdateNow, "Update now!"}, {IdAbortDownload, "Abort download!"},
    {IdShowReport, "Show Report"}, {IdUploadReport, "Upload Report"}, {IdDeleteReport, "Delete Report"},
    {IdChangePassengers, "Change"}, {IdChangeCargo, "Change"}, {IdChangeFuel, "Change"},
    {IdHighSpeedApproved, "High Speed Approved"}, {IdReservePlus, "+"}, {IdReserveMinus, "-"},
    {IdContinueFlight, "Continue Flight"}, {IdShowFlight, "Show Flight"}, {IdDeleteFlight, "Delete Flight"},
    {IdConfirmDivert, "Confirm Divert"}, {IdBackFromDivert, "Back"},
};

bool isKnownId(int id)
{
    return (id >= 0 && id <= 35 && id != 1 && id != 7) || id == IdMenuExit || id == IdMenuMaximise;
}

} // namespace

CUserInterface::CUserInterface(Window& mainWindow, SoundOutput& soundOutput)
    : window(mainWindow),
      sound(std::make_unique<CSound>(soundOutput)),
      client(std::make_unique<CClientInterface>()),
      log("CUserInterface")
{
    blackbox = std::make_unique<CBlackbox>(*sound, nullptr, *client);
    report = std::make_unique<CReport>(nullptr, *client, blackbox.get());
    flightState = std::make_unique<CFlightState>(sound.get(), report.get(), nullptr, *client, blackbox.get());
    cheatDetector = std::make_unique<CCheatDetector>(nullptr, *this);
    g_instance = this;
}

CUserInterface::~CUserInterface()
{
    if (g_instance == this)
        g_instance = nullptr;
}

CUserInterface* CUserInterface::getInstance()
{
    return g_instance;
}

void CUserInterface::setSimulator(std::unique_ptr<CFlightSimulatorInterface> sim)
{
    failures.clear(); // they act on the bridge being replaced
    simulator = std::move(sim);
    report->setSimulator(simulator.get());
    flightState->setSimulator(simulator.get());
    cheatDetector->setSimulator(simulator.get());
    blackbox->setSnapshot(simulator.get());
}

const char* CUserInterface::controlCaption(int id)
{
    for (const Caption& c : kCaptions) {
        if (c.id == id)
            return c.text;
    }
    return "";
}

void CUserInterface::SetPage(int newPage)
{
    page = newPage;
    redrawOnInput = false;
    loadingPending = false;
    Redraw();
}

void CUserInterface::Redraw()
{
    window.invalidate(nullptr);
}

void CUserInterface::RedrawContent()
{
    window.invalidate(&kContentArea);
}

void CUserInterface::RedrawContinueColumn()
{
    window.invalidate(&kContinueColumn);
}

void CUserInterface::ShowLoading()
{
    loadingPending = true;
    Redraw();
    window.paintNow();
}

void CUserInterface::OnButton(int id)
{
    std::ostringstream line;
    line << "Button clicked: " << controlCaption(id) << " (ID=" << id << ")";
    log.debug(line.str());
    if (id >= 201 && id <= 209)
        return;
    if (!isKnownId(id)) {
        log.warn("Button with ID " + std::to_string(id) + " not found!");
        return;
    }
    switch (id) {
    case IdHome:
        RedrawContent();
        SetPage(PageHome);
        break;
    case IdOptions:
        RedrawContent();
        SetPage(PageOptions);
        break;
    case IdMinimise:
        sound->play(1);
        window.minimise();
        break;
    case IdHide:
        sound->play(1);
        window.hide();
        break;
    case IdMenuMaximise:
        window.maximise();
        break;
    case IdDivert:
        RedrawContent();
        SetPage(PageDivert);
        break;
    case IdBackFromDivert:
        RedrawContent();
        SetPage(PageFlying);
        break;
    case IdToggleLandingLights:
        if (simulator)
            simulator->toggleLandingLights();
        break;
    default:
        // The remaining actions (login, flight start and end, fuel, report
        // pages, backups, updates) are carried out by their own handlers as
        // they join the client.
        break;
    }
}

void CUserInterface::ResetFlight()
{
    report->resetFlightData();
    if (simulator) {
        simulator->resetFlightTimer();
        simulator->resetSnapshot();
    }
    blackbox->resetAll();
    flightState->setPhase(PhaseBoarding);
}

void CUserInterface::startFlightMonitoring()
{
    // A failure of an earlier flight must not strike, or keep forcing a
    // handle, in this one.
    failures.clear();
    if (simulator)
        Failures::createFailures(*simulator, *blackbox, *report, *client, failures, *random);
    blackbox->startFlight();
}

void CUserInterface::updateFailures(std::int32_t elapsed)
{
    Failures::updateFailures(failures, elapsed);
}

void CUserInterface::AbortFlight(const std::string& text)
{
    if (simulator)
        simulator->showText(text, 10, true);
    log.warn(text);
    window.messageBox(text, "Flight Aborted", MessageBoxButtons::Ok, MessageBoxIcon::Warning);
    ResetFlight();
    OnButton(IdLogin);
    SetPage(PageHome);
}

bool CUserInterface::advanceFlightState()
{
    if (!simulator)
        return true;
    if (report->hasPenalty(ItemOverspeedFL100))
        window.showControl(IdHighSpeedApproved, false);
    if (!flightState->update())
        return true;
    report->sendTracker();
    switch (simulator->lFlightPhase) {
    case PhaseBoarding:
        simulator->showText("FlightState - Boarding", 10, false);
        break;
    case PhaseTaxi:
        enterTaxi();
        break;
    case PhaseTakeOff:
        simulator->showText("FlightState - Takeoff", 10, false);
        simulator->getAircraftTanks();
        simulator->lFuelAtTakeoff = simulator->fuelOnBoardRounded();
        break;
    case PhaseLanded:
        enterLanded();
        break;
    case PhaseOnBlock:
        sound->play("ding_dong.wav", false);
        simulator->showText("FlightState - On Block", 10, false);
        return false;
    case PhaseCrashed:
        enterCrashed();
        break;
    default:
        break;
    }
    Redraw();
    return true;
}

void CUserInterface::enterTaxi()
{
    CFlightSimulatorInterface& s = *simulator;
    s.showText("FlightState - Taxi", 10, false);
    s.updateFlightTimer();
    copyText(client->report.Deptime, fieldText(s.szZuluTime));
    copyText(client->report.Loc_Deptime, fieldText(s.szLocalTime));
    client->report.departSeconds = s.dFlightTime;
    std::ostringstream line;
    line << "FlightTimer.dDepartSeconds = " << client->report.departSeconds;
    log.debug(line.str());
}

void CUserInterface::scoreTouchdown(bool& endFlight)
{
    CFlightSimulatorInterface& s = *simulator;
    const int previous = s.lLandingVerticalSpeed;
    std::int32_t values[3];
    const int n = s.recentVerticalSpeeds.oldestFirst(values);
    std::ostringstream text;
    text << "Touchdown VS:";
    long long sum = 0;
    for (int i = 0; i < n; ++i) {
        sum += values[i];
        text << " " << values[i];
    }
    // An empty ring cannot follow a successful poll; fall back to the live value.
    s.lLandingVerticalSpeed = n > 0 ? static_cast<std::int32_t>(static_cast<double>(sum) / n) : s.lVerticalSpeed;
    if (s.lTouchdownVerticalSpeed != 0 && s.lTouchdownVerticalSpeed > s.lLandingVerticalSpeed)
        log.debugf("FSUIPC vertical speed update, old %d new %d", s.lLandingVerticalSpeed, s.lTouchdownVerticalSpeed);
    else
        log.debugf("NO FSUIPC vertical speed update, old %d new %d", s.lLandingVerticalSpeed,
                   s.lTouchdownVerticalSpeed);
    if (previous < s.lLandingVerticalSpeed) {
        log.debugf("Previous touch down harder %d prev %d", s.lLandingVerticalSpeed, previous);
        s.lLandingVerticalSpeed = previous;
    }
    const int v = s.lLandingVerticalSpeed;
    if (v < -3025) {
        report->addPenalty(ItemCrashed);
        endFlight = true;
    } else if (v < -1525) {
        report->addPenalty(ItemVeryHardLanding);
    } else if (v < -625) {
        report->addPenalty(ItemHardLanding);
    }
    if (report->hasPenalty(ItemWaterLanding))
        endFlight = true;
    log.debug(text.str());
}

void CUserInterface::enterLanded()
{
    CFlightSimulatorInterface& s = *simulator;
    sound->play("ding_dong.wav", false);
    s.showText("FlightState - Landed", 10, false);
    s.getAircraftTanks();
    s.updateFlightTimer();
    bool endFlight = false;
    scoreTouchdown(endFlight);
    s.lFuelAtLanding = s.fuelOnBoardRounded();
    client->getClosestAirport(s.dLongitude, s.dLatitude, -1.0);
    window.showControl(IdEndFlight, true);
    if (endFlight)
        OnButton(IdEndFlight);
}

void CUserInterface::enterCrashed()
{
    CFlightSimulatorInterface& s = *simulator;
    s.getEverything();
    s.getAircraftTanks();
    s.updateFlightTimer();
    s.lLandingVerticalSpeed = s.lPreviousVerticalSpeed;
    s.lFuelAtLanding = s.fuelOnBoardRounded();
    client->getClosestAirport(s.dLongitude, s.dLatitude, -1.0);
    copyText(s.szClosestAirport, fieldText(client->closestAirport));
    SetPage(PageComment);
    window.showControl(IdEndFlight, true);
}
