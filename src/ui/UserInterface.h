// The process's one user-interface object: the page machine, the button
// dispatch, and the owner of the flight's objects (server client, simulator
// bridge, report, phase machine, blackbox, sound player).
#pragma once

#include "core/DebugLog.h"
#include "platform/Toolkit.h"

#include <memory>
#include <string>

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

class CUserInterface : public WindowEvents {
public:
    CUserInterface(Window& window, SoundOutput& soundOutput);
    ~CUserInterface() override;
    CUserInterface(const CUserInterface&) = delete;
    CUserInterface& operator=(const CUserInterface&) = delete;

    // The process's user interface (the most recently constructed one).
    static CUserInterface* getInstance();

    // Installs the simulator bridge; the report, phase machine and blackbox follow it.
    void setSimulator(std::unique_ptr<CFlightSimulatorInterface> simulator);

    CClientInterface& getClient() { return *client; }
    CFlightSimulatorInterface* getSimulator() { return simulator.get(); }
    CReport& getReport() { return *report; }
    CFlightState& getFlightState() { return *flightState; }
    CCheatDetector& getCheatDetector() { return *cheatDetector; }
    CBlackbox& getBlackbox() { return *blackbox; }
    CSound& getSound() { return *sound; }
    CFlightActions& getFlightActions() { return *flightActions; }
    Window& getWindow() { return window; }

    int getPage() const { return page; }
    void SetPage(int newPage);
    virtual void Redraw();
    virtual void RedrawContent();
    void ShowLoading();
    // Repaints the "Current" column of the aborted-flight page.
    void RedrawContinueColumn();
    virtual void OnButton(int id);

    // The window's paints and commands.
    void onPaint(Painter& painter) override;
    void onCommand(int id) override { OnButton(id); }

    void ResetFlight();
    void AbortFlight(const std::string& text);
    // One phase step after a successful poll; false once the flight is On Block.
    bool advanceFlightState();

    // Options (settings "settings" section).
    int fuelMethod = 0;   // 0 Standard, 1 Simple, 2 Read Only
    int autosaveMode = 0; // 0 None, 1 QVL Data only, 2 Flight + Data
    bool trackerOn = false;
    bool fsMessages = false;
    bool autoLogin = false;
    bool soundOn = true;
    bool penaltiesOff = false;
    bool showToggleLightBtn = false;

    bool isLoadingPending() const { return loadingPending; }
    // Every edit-field change repaints the window while this is set.
    bool isRedrawOnInput() const { return redrawOnInput; }
    void setRedrawOnInput(bool on) { redrawOnInput = on; }

protected:
    static const char* controlCaption(int id);

private:
    void enterLanded();
    void enterTaxi();
    void enterCrashed();
    void scoreTouchdown(bool& endFlight);

    Window& window;
    std::unique_ptr<CSound> sound;
    std::unique_ptr<CClientInterface> client;
    std::unique_ptr<CFlightSimulatorInterface> simulator;
    std::unique_ptr<CBlackbox> blackbox;
    std::unique_ptr<CReport> report;
    std::unique_ptr<CFlightState> flightState;
    std::unique_ptr<CCheatDetector> cheatDetector;
    std::unique_ptr<CPagePainter> pagePainter;
    std::unique_ptr<CFlightActions> flightActions;
    CDebugLog log;
    int page = 0;
    bool loadingPending = false;
    bool redrawOnInput = false;
};
