// CFlightState: phase transitions and the rules that depend on them.
#include "monitor/FlightState.h"

#include "core/FixedText.h"
#include "core/TextCompare.h"
#include "monitor/AlertSound.h"
#include "monitor/blackbox/Blackbox.h"
#include "report/Report.h"
#include "server/ClientInterface.h"
#include "sim/FlightSimulatorInterface.h"

#include <cctype>
#include <string>

namespace {
constexpr double kStartAreaNm = 5.0;
constexpr int kSurfaceWater = 2;

// The process-wide channel the low-level overspeed trace goes to.
CDebugLog& flightStateChannel()
{
    static CDebugLog channel("FlightState");
    return channel;
}
} // namespace

CFlightState::CFlightState(CAlertSound* player, CReport* flightReport, CFlightSimulatorInterface* sim,
                           CClientInterface& clientInterface, CBlackbox* box)
    : sound(player), report(flightReport), simulator(sim), client(clientInterface), blackbox(box), log("CFlightState")
{
}

CFlightState::~CFlightState() = default;

const char* CFlightState::getPhaseName(int code)
{
    switch (code) {
    case PhaseBoarding: return "Boarding";
    case PhaseTaxi: return "Taxi";
    case PhaseTakeOff: return "Take Off";
    case PhaseLanded: return "Landed";
    case PhaseOnBlock: return "On Block";
    case PhaseClimb: return "Climb";
    case PhaseCruise: return "Cruise";
    case PhaseDescent: return "Descent";
    case PhaseCrashed: return "Crashed";
    default: return "Undefined";
    }
}

int CFlightState::parsePhaseCode(const std::string& text)
{
    std::string lower;
    for (char c : text)
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    static const struct {
        const char* word;
        int code;
    } kWords[] = {{"boarding", 0}, {"taxi", 1},    {"takeoff", 2}, {"climb", 5},
                  {"cruise", 6},   {"descent", 7}, {"landed", 3}};
    for (const auto& w : kWords) {
        if (lower == w.word)
            return w.code;
    }
    return -1;
}

bool CFlightState::isAirborne(int code)
{
    return code == PhaseTakeOff || code == PhaseClimb || code == PhaseCruise || code == PhaseDescent;
}

int CFlightState::getPhase() const
{
    return simulator != nullptr ? simulator->lFlightPhase : PhaseBoarding;
}

void CFlightState::setPhase(int phase)
{
    if (simulator != nullptr)
        simulator->lFlightPhase = phase;
    // A flight begins (or begins again) in Boarding: no touchdown yet.
    if (phase == PhaseBoarding)
        sinceTouchdown.reset();
}

double CFlightState::getTakeoffTime() const
{
    return simulator != nullptr ? simulator->dTakeoffTime : 0.0;
}

bool CFlightState::hasClimbedAbove500() const
{
    return simulator != nullptr && simulator->lAbove500Reported != 0;
}

bool CFlightState::hasLeftStartArea() const
{
    return simulator != nullptr && simulator->lLeftStartArea != 0;
}

bool CFlightState::update()
{
    const bool changed = advancePhase();
    const bool penalised = checkRules();
    if (penalised && sound != nullptr)
        sound->play("penalty.wav", false);
    if (changed)
        log.debug("FlightState: " + std::to_string(getPhase()));
    return changed;
}

double CFlightState::distanceFromStart() const
{
    const CFlightSimulatorInterface& s = *simulator;
    return CClientInterface::distanceNm(s.dLatitude, s.dLongitude, s.dStartLatitude, s.dStartLongitude);
}

bool CFlightState::onGroundOrLow() const
{
    return simulator->bOnGround || simulator->lRadarAltitude < 5;
}

void CFlightState::updateClosestArrival(double distArrival)
{
    CFlightSimulatorInterface& s = *simulator;
    // Airborne steps leave -1 (unknown): the first distance on the ground
    // replaces it like the 0 of a new flight, or no flight would ever keep one.
    if (distArrival != 0.0 && (s.dClosestArrivalDistance <= 0.0 || distArrival < s.dClosestArrivalDistance))
        s.dClosestArrivalDistance = distArrival;
}

bool CFlightState::advancePhase()
{
    if (simulator == nullptr)
        return false;
    CFlightSimulatorInterface& s = *simulator;
    bool changed = false;
    if (s.lCrashed == 1 && s.lFlightPhase != PhaseCrashed) {
        s.lFlightPhase = PhaseCrashed;
        changed = true;
    }
    if (s.bOnGround && s.lLandingVerticalSpeed < -3025) {
        s.lFlightPhase = PhaseCrashed;
        changed = true;
    }
    const double distArrival = client.distanceToArrival(s.dLatitude, s.dLongitude);
    switch (s.lFlightPhase) {
    case PhaseBoarding:
        s.dStartLatitude = s.dLatitude;
        s.dStartLongitude = s.dLongitude;
        if (s.lGroundSpeed > 5) {
            s.lFlightPhase = PhaseTaxi;
            changed = true;
        }
        break;
    case PhaseTaxi:
        s.dStartLatitude = s.dLatitude;
        s.dStartLongitude = s.dLongitude;
        if (s.lRadarAltitude > 70 && !s.bOnGround) {
            s.lFlightPhase = PhaseTakeOff;
            s.dTakeoffTime = static_cast<double>(airTimer.elapsed());
            changed = true;
        }
        break;
    case PhaseTakeOff:
    case PhaseClimb:
    case PhaseCruise:
    case PhaseDescent:
        if (s.bOnGround && s.lCrashed == 0)
            changed = touchDown(distArrival) || changed;
        else
            changed = stepAirborne(distArrival) || changed;
        break;
    case PhaseLanded:
        updateClosestArrival(distArrival);
        if (s.bParkingBrake && s.lGroundSpeed < 5) {
            s.lFlightPhase = PhaseOnBlock;
            changed = true;
        } else if (s.lRadarAltitude > 70 && !s.bOnGround) {
            s.lFlightPhase = PhaseClimb;
            changed = true;
        }
        break;
    default:
        break;
    }
    return changed;
}

bool CFlightState::touchDown(double distArrival)
{
    CFlightSimulatorInterface& s = *simulator;
    const AircraftTypeData& type = client.types;
    if (s.lSurfaceType == kSurfaceWater && type.d_float_plane == 0) {
        report->addPenalty(ItemWaterLanding);
    } else if (!s.bGearDown && !report->hasPenalty(ItemGearFailure) && s.lGearRetractable != 0 &&
               s.lGearChangeCount < 20 &&
               (type.d_float_plane == 0 || s.getSimulatorVersion() == SimXPlane9)) {
        report->addPenalty(ItemGearUpLanding);
    }
    const long long landingWeight = static_cast<long long>(type.d_DOW) + s.lCargo +
                                    static_cast<long long>(s.lPassengers) * 102 + s.lFuelOnBoard + s.lPackages;
    s.lFlightPhase = PhaseLanded;
    updateClosestArrival(distArrival);
    s.dLandingTime = static_cast<double>(airTimer.elapsed());
    sinceTouchdown.emplace();
    if (type.d_MLW < landingWeight && !report->hasPenalty(ItemMaxLandingWeight))
        report->addPenalty(ItemMaxLandingWeight);
    return true;
}

bool CFlightState::stepAirborne(double /*distArrival*/)
{
    CFlightSimulatorInterface& s = *simulator;
    s.dClosestArrivalDistance = -1.0;
    if (distanceFromStart() > kStartAreaNm)
        s.lLeftStartArea = 1;
    if (s.lRadarAltitude >= 500) {
        if (s.lAbove500Reported == 0 && blackbox != nullptr)
            blackbox->logEvent("Altitude above 500ft", "");
        s.lAbove500Reported = 1;
    }
    const int v = s.lVerticalSpeed;
    const int h = s.lRadarAltitude;
    if (h <= 150)
        return false;
    int next = s.lFlightPhase;
    if (v >= 200)
        next = PhaseClimb;
    else if (v > -200 && v < 200)
        next = PhaseCruise;
    else
        next = PhaseDescent;
    if (next == s.lFlightPhase)
        return false;
    s.lFlightPhase = next;
    return true;
}

bool CFlightState::checkRules()
{
    if (simulator == nullptr || report == nullptr)
        return false;
    CFlightSimulatorInterface& s = *simulator;
    const double distStart = distanceFromStart();
    const double distArrival = client.distanceToArrival(s.dLatitude, s.dLongitude);
    if (onGroundOrLow())
        airTimer.restart();
    bool penalised = checkTaxiOverspeed();
    penalised = checkLowLevelOverspeed() || penalised;
    penalised = checkLowAltitude(distStart, distArrival) || penalised;
    penalised = classifyCrash() || penalised;
    return penalised;
}

bool CFlightState::checkTaxiOverspeed()
{
    CFlightSimulatorInterface& s = *simulator;
    if (report->hasPenalty(ItemTaxiOverspeed)) {
        taxiSpeedTimer.restart();
        return false;
    }
    if (!(onGroundOrLow() || s.lFlightPhase == PhaseTaxi || s.lFlightPhase == PhaseLanded)) {
        taxiSpeedTimer.restart();
        return false;
    }
    // The first minute after a touchdown is the landing roll, not taxiing.
    // The air timer restarts on every step on the ground, so the grace runs
    // on a stopwatch of its own.
    if (sinceTouchdown && sinceTouchdown->elapsed() < 60000)
        taxiSpeedTimer.restart();
    if (s.lGroundSpeed < 30 || s.lGroundSpeed > 100)
        taxiSpeedTimer.restart();
    if (taxiSpeedTimer.elapsed() > 90000) {
        report->addPenalty(ItemTaxiOverspeed);
        return true;
    }
    return false;
}

bool CFlightState::checkLowLevelOverspeed()
{
    CFlightSimulatorInterface& s = *simulator;
    const int limit = (airTimer.elapsed() < 900000 && client.types.d_heavy != 0) ? 310 : 260;
    if (!report->hasPenalty(ItemOverspeedFL100) && s.dAltitude < 9900 && s.lIndicatedAirspeed > limit) {
        flightStateChannel().debugf("airspeed %ld timer %ld alt %lf", static_cast<long>(s.lIndicatedAirspeed),
                                    static_cast<long>(overspeedTimer.elapsed()), s.dAltitude);
        if (overspeedTimer.elapsed() > 60000) {
            report->addPenalty(ItemOverspeedFL100);
            return true;
        }
        return false;
    }
    overspeedTimer.restart();
    return false;
}

bool CFlightState::checkLowAltitude(double distStart, double distArrival)
{
    CFlightSimulatorInterface& s = *simulator;
    const bool exempt = s.bOnGround || s.bEmergency != 0 || report->hasPenalty(ItemLowAltitude) ||
                        s.lRadarAltitude >= 450 || distArrival <= 5 || distStart <= 5 ||
                        equalsNoCase(fieldText(client.route.r_Dep), fieldText(client.route.r_Arr));
    if (exempt) {
        lowAltitudeTimer.restart();
        return false;
    }
    if (lowAltitudeTimer.elapsed() > 120000) {
        report->addPenalty(ItemLowAltitude);
        return true;
    }
    return false;
}

bool CFlightState::classifyCrash()
{
    CFlightSimulatorInterface& s = *simulator;
    if (report->hasPenalty(ItemGroundAccident) || report->hasPenalty(ItemSeriousGroundAccident) ||
        report->hasPenalty(ItemCrashed) || s.lFlightPhase != PhaseCrashed)
        return false;
    if (!s.bOnGround) {
        report->addPenalty(ItemCrashed);
        return true;
    }
    const bool early = s.dTakeoffTime == 0.0 || static_cast<double>(airTimer.elapsed()) - s.dLandingTime > 10.0;
    if (early && s.lGroundSpeed < 35)
        report->addPenalty(ItemGroundAccident);
    else if (early && s.lGroundSpeed < 55)
        report->addPenalty(ItemSeriousGroundAccident);
    else
        report->addPenalty(ItemCrashed);
    return true;
}
