// The process's one user-interface object: the page machine, the button
// dispatch, and the owner of the flight's objects (server client, simulator
// bridge, report, phase machine, blackbox, sound player).
#pragma once

#include "core/DebugLog.h"
#include "monitor/FlightControl.h"
#include "monitor/failures/Failures.h"
#include "monitor/failures/RandomSource.h"
#include "platform/Toolkit.h"
#include "ui/ActionHost.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

struct AircraftData;
class Window;
class SoundOutput;
class CClientInterface;
class CFlightSimulatorInterface;
class CReport;
class CFlightState;
class CBlackbox;
class CSound;
class CCheatDetector;
class CPagePainter;
class CFlightActions;
class CLoginActions;
class CFlightRecorder;

class CUserInterface : public CActionHost, public WindowEvents, public CFlightControl {
public:
    CUserInterface(Window& window, SoundOutput& soundOutput);
    ~CUserInterface() override;
    CUserInterface(const CUserInterface&) = delete;
    CUserInterface& operator=(const CUserInterface&) = delete;

    // The process's user interface (the most recently constructed one).
    static CUserInterface* getInstance();

    // Installs the simulator bridge; the report, phase machine and blackbox follow it.
    void setSimulator(std::unique_ptr<CFlightSimulatorInterface> simulator);

    // Builds the window's contents once the window exists: the bridge chosen
    // by the options (a bridge installed beforehand is kept), the text
    // rectangles, every control, the login page and the stored options; then
    // the automatic login when it is on.
    void OnCreate();
    // Every control of the window, in creation order; "Exit" highlighted.
    void createControls();

    CClientInterface& getClient() final { return *client; }
    CFlightSimulatorInterface* getSimulator() final { return simulator.get(); }
    CReport& getReport() final { return *report; }
    CFlightState& getFlightState() final { return *flightState; }
    CCheatDetector& getCheatDetector() { return *cheatDetector; }
    CBlackbox& getBlackbox() final { return *blackbox; }
    CSound& getSound() final { return *sound; }
    CFlightActions& getFlightActions() final { return *flightActions; }
    CLoginActions& getLoginActions() { return *loginActions; }
    CFlightRecorder& getFlightRecorder() final { return *recorder; }
    Window& getWindow() final { return window; }
    void showDownloadProgress(double fraction) final { setProgress(fraction); }

    int getPage() const final { return page; }
    void SetPage(int newPage) final;
    void ShowLoading() final;
    void OnButton(int id) override;

    // The window's paints and commands. A command of a disabled control is
    // dropped; one of an enabled control clicks before it is carried out.
    void onPaint(Painter& painter) override;
    void onCommand(int id) override;
    void onEditChanged(int id) override;
    void onEndSession() override;

    void ResetFlight() final;
    // Marks the start of a new flight: per-flight counters kept outside the
    // snapshot (the driver's gear movements) start again. ResetFlight calls it;
    // so does the flight start.
    void beginFlight() { ++flightsBegun; }
    std::uint32_t getFlightsBegun() const { return flightsBegun; }
    void startFlightMonitoring() final;
    // The driver's failure step: whole seconds since departure.
    void updateFailures(std::int32_t elapsed);
    Failures::CFailureList& getFailures() { return failures; }
    // Tests fix the failure draws.
    void setRandomSource(std::unique_ptr<Failures::CRandomSource> source) { random = std::move(source); }
    void AbortFlight(const std::string& text) final;
    int getFuelMethod() const override { return fuelMethod; }
    // One phase step after a successful poll; false once the flight is On Block.
    bool advanceFlightState();

    bool restoreForUpload() final;
    bool continueFlight() final;
    void warnIfReportUnsaved() final;

    // What the backup looked like, kept by restoreForUpload for the flight
    // actions.
    struct RestoreReference {
        double latitude = 0.0;
        double longitude = 0.0;
        double altitude = 0.0;
        double heading = 0.0;
        std::int32_t groundSpeed = 0;
        std::int32_t totalFuel = 0;
    };
    const RestoreReference& getRestoreReference() const { return restoreReference; }

    // The options and session flags (fuelMethod, weightUnit, loggedIn, ...)
    // are the CUiState base's fields.
    int pilotStatus() const final;

    bool isLoadingPending() const final { return loadingPending; }
    bool isRedrawOnInput() const final { return redrawOnInput; }
    void setRedrawOnInput(bool on) final { redrawOnInput = on; }

    // Hears every page that SetPage shows (the headless client prints them).
    std::function<void(int page)> onPageShown;

private:
    void showFlightInformation();
    void showPageControls(int newPage);
    void showHomeControls();

    void enterLanded();
    void enterTaxi();
    void enterCrashed();
    void scoreTouchdown(bool& endFlight);
    bool loadBackupOrWarn();
    bool fetchBookingOrWarn(bool& notBooked);
    int restoreMismatch(const AircraftData& saved, std::int32_t savedFuel, const std::string& savedArrival);
    void warnBox(const std::string& text, const std::string& title);
    void beginRecording();

    std::unique_ptr<CSound> sound;
    std::unique_ptr<CClientInterface> client;
    // Before the bridge, which may hold on to it.
    std::unique_ptr<CFlightRecorder> recorder;
    std::unique_ptr<CFlightSimulatorInterface> simulator;
    std::unique_ptr<CBlackbox> blackbox;
    std::unique_ptr<CReport> report;
    std::unique_ptr<CFlightState> flightState;
    std::unique_ptr<CCheatDetector> cheatDetector;
    std::unique_ptr<CPagePainter> pagePainter;
    std::unique_ptr<CFlightActions> flightActions;
    std::unique_ptr<CLoginActions> loginActions;
    Failures::CFailureList failures;
    std::unique_ptr<Failures::CRandomSource> random = std::make_unique<Failures::CProcessRandom>();
    CDebugLog log;
    int page = 0;
    bool loadingPending = false;
    bool redrawOnInput = false;
    RestoreReference restoreReference;
    std::uint32_t flightsBegun = 0;
};
