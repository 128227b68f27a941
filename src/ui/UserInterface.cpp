// CUserInterface: ownership, pages, the button dispatch and the flight-state step.
#include "ui/UserInterface.h"

#include "core/FixedText.h"
#include "monitor/CheatDetector.h"
#include "monitor/FlightState.h"
#include "monitor/blackbox/Blackbox.h"
#include "platform/Toolkit.h"
#include "recorder/FlightRecorder.h"
#include "recorder/RecordedDraws.h"
#include "recorder/RecordingSimulator.h"
#include "report/IniParser.h"
#include "report/Report.h"
#include "report/StoredSettings.h"
#include "server/BackgroundSender.h"
#include "server/ClientInterface.h"
#include "server/LeadingNumber.h"
#include "server/RequestDeadline.h"
#include "sim/FlightSimulatorInterface.h"
#include "sim/SimulatorChoice.h"
#include "ui/ControlIds.h"
#include "ui/ControlTable.h"
#include "ui/FlightActions.h"
#include "ui/LoginActions.h"
#include "ui/PagePainter.h"
#include "ui/RecordedStart.h"
#include "ui/Sound.h"

#include <sstream>

namespace {

CUserInterface* g_instance = nullptr;

bool isKnownId(int id)
{
    return (id >= 0 && id <= 35 && id != 1 && id != 7) || id == IdMenuExit || id == IdMenuMaximise;
}

} // namespace

CUserInterface::CUserInterface(Window& mainWindow, SoundOutput& soundOutput)
    : CActionHost(mainWindow), sound(std::make_unique<CSound>(soundOutput)),
      client(std::make_unique<CClientInterface>()), recorder(std::make_unique<CFlightRecorder>()), log("CUserInterface")
{
    blackbox = std::make_unique<CBlackbox>(*sound, nullptr, *client);
    report = std::make_unique<CReport>(nullptr, *client, &blackbox->getFlightEvents());
    flightState = std::make_unique<CFlightState>(sound.get(), report.get(), nullptr, *client, blackbox.get());
    cheatDetector = std::make_unique<CCheatDetector>(nullptr, *this);
    pagePainter = std::make_unique<CPagePainter>(*this);
    flightActions = std::make_unique<CFlightActions>(*this);
    loginActions = std::make_unique<CLoginActions>(*this);
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
    if (sim && recorder->isEnabled())
        sim = std::make_unique<CRecordingSimulator>(std::move(sim), *recorder);
    simulator = std::move(sim);
    report->setSimulator(simulator.get());
    flightState->setSimulator(simulator.get());
    cheatDetector->setSimulator(simulator.get());
    blackbox->setSnapshot(simulator.get());
}

void CUserInterface::OnCreate()
{
    window.setEvents(this);
    if (!simulator)
        setSimulator(createSimulatorInterface(CIniParser::getInstance().readConfigString("settings", "FSInterface"),
                                              *client, CStoredSettings::simulatorAddresses()));
    setupTextRectangles();
    createControls();
    SetPage(PageLogin);
    loginActions->loadSettings();
    if (autoLogin)
        loginActions->login();
}

void CUserInterface::createControls()
{
    if (firstObject() != nullptr)
        return; // the window has them already
    for (const ControlDefinition& control : windowControls()) {
        if (addObject(control.layout, control.group) == nullptr)
            log.error("Could not create control " + std::to_string(control.layout.id));
    }
    setHighlighted(IdExit, true);
}

int CUserInterface::pilotStatus() const
{
    return CUserInterfaceObject::parseNumber(fieldText(client->pilot.va_status));
}

void CUserInterface::SetPage(int newPage)
{
    page = newPage;
    redrawOnInput = false;
    loadingPending = false;
    hideAll();
    showPageControls(newPage);
    Redraw();
    if (onPageShown)
        onPageShown(page);
}

void CUserInterface::showHomeControls()
{
    showObject(IdHome);
    showObject(IdOptions);
    if (pilotStatus() < 2) {
        showObject(IdFlightInformation);
        showObject(IdFly);
    }
    showObject(IdExit);
}

void CUserInterface::showPageControls(int newPage)
{
    switch (newPage) {
    case PageLogin:
        for (int id : {IdLogin, IdEditUser, IdEditPassword})
            showObject(id);
        break;
    case PageHome:
    case PageFlightInformation:
    case PageChecklist:
    case PageFuelError:
        showHomeControls();
        break;
    case PageOptions:
        showHomeControls();
        for (int id : {IdSaveChanges, IdCheckAutoLogin, IdCheckTracker, IdCheckFsMessages, IdCheckSound,
                       IdCheckPenaltiesOff, IdComboInterface, IdComboFuelMethod, IdComboAutosave})
            showObject(id);
        break;
    case PageFlying:
        showObject(IdDivert);
        showObject(IdHighSpeedApproved);
        if (showToggleLightBtn)
            showObject(IdToggleLandingLights);
        break;
    case PageReportRoute:
    case PageReportFinances:
    case PageReportPenalties:
        showObject(IdNext);
        break;
    case PageWrongVersion:
        showObject(IdUpdateNow);
        showObject(IdExit);
        break;
    case PageFuelTanks:
        showGroup(PageFuelTanks);
        showObject(IdBackFromTanks);
        break;
    case PageReportBackup:
        for (int id : {IdShowReport, IdUploadReport, IdDeleteReport})
            showObject(id);
        break;
    case PageSimpleFuel:
        showGroup(PageSimpleFuel);
        showObject(IdFuelUp);
        break;
    case PageLoadSheet:
        showGroup(PageLoadSheet);
        showObject(IdFly);
        break;
    case PageComment:
        showObject(IdEditComment);
        if (offerPackages) {
            setCheck(IdCheckDeliverPackages, false);
            showObject(IdCheckDeliverPackages);
        }
        showObject(IdEndFlight);
        showObject(IdNext);
        break;
    case PageDownload:
        showObject(IdProgress);
        showObject(IdAbortDownload);
        break;
    case PageAbortedFlight:
        showObject(IdContinueFlight);
        showObject(IdDeleteFlight);
        break;
    case PageDivert:
        for (int id : {IdConfirmDivert, IdBackFromDivert, IdEditDivertAirport})
            showObject(id);
        break;
    default:
        break;
    }
}

void CUserInterface::ShowLoading()
{
    loadingPending = true;
    Redraw();
    window.paintNow();
}

void CUserInterface::onPaint(Painter& painter)
{
    setPainter(&painter);
    pagePainter->paint(painter);
    loadingPending = false;
    setPainter(nullptr);
}

void CUserInterface::onCommand(int id)
{
    if (const CUserInterfaceObject* control = findObject(id)) {
        if (!control->isEnabled())
            return;
        sound->play(0);
    }
    if (recorder->isRecording())
        recorder->command(id, getText(IdEditDivertAirport));
    OnButton(id);
}

void CUserInterface::onEndSession()
{
    log.debug("The session ends: saving and closing");
    flightActions->endSession();
    if (CIniParser::hasInstance())
        CIniParser::getInstance().save();
    client->stopBackgroundSends(CBackgroundSender::kStopGraceMs);
}

void CUserInterface::onEditChanged(int)
{
    if (redrawOnInput)
        Redraw();
}

void CUserInterface::showFlightInformation()
{
    ShowLoading();
    client->getRoute();
    if (simulator && !simulator->isConnected())
        simulator->connect();
    SetPage(PageFlightInformation);
}

void CUserInterface::OnButton(int id)
{
    // Whatever the button does with the service, it waits one deadline in all.
    CRequestDeadline deadline(CRequestDeadline::kActionMs);
    std::ostringstream line;
    const CUserInterfaceObject* control = findObject(id);
    line << "Button clicked: " << (control != nullptr ? control->getCaption() : std::string()) << " (ID=" << id << ")";
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
    case IdFlightInformation:
        showFlightInformation();
        break;
    case IdLogin:
        loginActions->login();
        break;
    case IdSaveChanges:
        loginActions->saveSettings();
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
        flightActions->onButton(id);
        break;
    }
}

void CUserInterface::ResetFlight()
{
    recorder->finish(false); // an aborted flight's recording ends here
    report->resetFlightData();
    if (simulator) {
        simulator->resetFlightTimer();
        simulator->resetSnapshot();
    }
    blackbox->resetAll();
    flightState->setPhase(PhaseBoarding);
    beginFlight();
}

void CUserInterface::startFlightMonitoring()
{
    // A failure of an earlier flight must not strike, or keep forcing a
    // handle, in this one.
    failures.clear();
    beginRecording();
    CRecordedDraws draws(*random, *recorder);
    if (simulator)
        Failures::createFailures(*simulator, *blackbox, *report, *client, failures, draws);
    blackbox->startFlight();
}

void CUserInterface::beginRecording()
{
    if (!recorder->isEnabled() || !simulator)
        return;
    int keep = CIniParser::getInstance().readConfigInt("settings", "KeepRecordings");
    if (keep <= 0)
        keep = CFlightRecorder::kDefaultKeep;
    recorder->begin(RecordedStart::capture(*this), *simulator, fieldText(client->flightLog.l_ID), keep);
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
        hideObject(IdHighSpeedApproved);
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
    // A continued flight keeps its landing.
    report->requestBackup();
    client->getClosestAirport(s.dLongitude, s.dLatitude, -1.0);
    showObject(IdEndFlight);
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
    showObject(IdEndFlight);
}
