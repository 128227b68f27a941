// The flight buttons: load sheet and fuel, start checks and flight start,
// diversion, end of flight, comment, report pages, backed-up report and
// aborted flight.
#pragma once

class CUserInterface;

class CFlightActions {
public:
    explicit CFlightActions(CUserInterface& ui);

    // Carries out the action of a flight button; false when `id` is not one.
    bool onButton(int id);

    // Load-sheet steps the fuel and load-sheet pages run before they draw.
    void takeFuelInputs();
    void updateLoadSheetButtons();

private:
    CUserInterface& ui;
};
