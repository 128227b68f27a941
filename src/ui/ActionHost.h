// What the button actions reach of the user interface: its controls, the
// shared options, the flight's objects, the page navigation and (for the
// installer download the flight actions own) the window's update services.
// The actions include this, not the user interface, so that the interface
// can own them.
#pragma once

#include "ui/PageView.h"
#include "ui/UiState.h"
#include "ui/UserInterfaceUtilities.h"
#include "update/UpdateHost.h"

#include <string>

class CFlightState;
class CFlightRecorder;
class CBlackbox;
class CSound;

class CActionHost : public CUserInterfaceUtilities, public CUiState, public CPageView, public AutoUpdate::CUpdateHost {
public:
    explicit CActionHost(Window& window) : CUserInterfaceUtilities(window) {}

    const CUiState& getUiState() const final { return *this; }
    // One client for the pages and the update alike.
    CClientInterface& getClient() override = 0;

    virtual CFlightState& getFlightState() = 0;
    virtual CFlightRecorder& getFlightRecorder() = 0;
    virtual CBlackbox& getBlackbox() = 0;
    virtual CSound& getSound() = 0;

    // Shows exactly the controls of the page (after hiding all others) and repaints.
    virtual void SetPage(int newPage) = 0;
    virtual void ShowLoading() = 0;
    virtual void OnButton(int id) = 0;

    virtual void ResetFlight() = 0;
    virtual void AbortFlight(const std::string& text) = 0;
    // At the flight start, after the start checks: this flight's failures
    // armed (the last flight's dropped) and the blackbox started.
    virtual void startFlightMonitoring() = 0;
    // The backed-up report page's upload action: loads the backup and checks
    // that its flight is still booked; true when the upload may follow.
    virtual bool restoreForUpload() = 0;
    // The aborted-flight page's action: resumes the autosaved flight when the
    // simulator's aircraft matches it; true when the flight goes on.
    virtual bool continueFlight() = 0;
    // Tells the pilot that a finished report could be neither sent nor saved.
    virtual void warnIfReportUnsaved() = 0;
};
