// CFlightActions: what the flight buttons do.
#include "ui/FlightActions.h"

#include "ui/UserInterface.h"

CFlightActions::CFlightActions(CUserInterface& userInterface) : ui(userInterface) {}

bool CFlightActions::onButton(int)
{
    // The flight actions join here as they are built.
    (void)ui;
    return false;
}

void CFlightActions::takeFuelInputs()
{
    // Joins with the fuel actions.
}

void CFlightActions::updateLoadSheetButtons()
{
    // Joins with the load-sheet actions.
}
