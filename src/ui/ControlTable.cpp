// The control table of the main window.
#include "ui/ControlTable.h"

#include "ui/ControlIds.h"

namespace {

constexpr int kAll = 999;

ControlDefinition button(int id, const char* caption, int x, int y, int w, int h, int group, unsigned extra = 0)
{
    return {{ControlKind::Button, id, caption, x, y, w, h, StyleVisible | extra}, group};
}

ControlDefinition check(int id, const char* caption, int x, int y, int group)
{
    return {{ControlKind::CheckBox, id, caption, x, y, 12, 12, StyleVisible}, group};
}

ControlDefinition combo(int id, const char* caption, int x, int y, int group)
{
    return {{ControlKind::Combo, id, caption, x, y, 120, 60, StyleVisible}, group};
}

ControlDefinition edit(int id, const char* caption, int x, int y, int w, int h, int group, unsigned style)
{
    return {{ControlKind::Edit, id, caption, x, y, w, h, style}, group};
}

// Tank fields: digits only, flush right, 65 x 25.
ControlDefinition tank(int id, int x, int y)
{
    return edit(id, "", x, y, 65, 25, 11, StyleDigitsOnly | StyleRightAligned);
}

std::vector<ControlDefinition> buildControlTable()
{
    return {
        button(IdLogin, "Login", 300, 250, 105, 19, 0),
        button(IdMinimise, "-", 556, 11, 15, 15, kAll, StyleTitleButton),
        button(IdHide, "^", 539, 11, 15, 15, kAll, StyleTitleButton),
        button(IdClose, "x", 573, 11, 15, 15, kAll, StyleTitleButton),
        button(IdHome, "Home", 25, 238, 148, 20, 1),
        button(IdOptions, "Options", 25, 262, 148, 20, 1),
        button(IdSaveChanges, "Save changes", 470, 330, 100, 20, 2),
        button(IdFlightInformation, "Flight Information", 25, 286, 148, 20, 1),
        button(IdFly, "Fly!", 25, 310, 148, 20, 1),
        button(IdExit, "Exit", 25, 334, 148, 20, 1),
        button(IdHighSpeedApproved, "High Speed Approved", 25, 310, 148, 20, 5),
        button(IdDivert, "Divert!", 25, 238, 148, 20, 5),
        button(IdEndFlight, "End flight", 25, 262, 148, 20, 7),
        button(IdNext, "Next", 470, 330, 100, 20, 7),
        button(IdBackFromTanks, "Back", 25, 286, 148, 20, 14),
        button(IdBackFromSimpleFuel, "Back", 25, 262, 148, 20, 13),
        button(IdFuelUp, "Fuel Up!", 25, 238, 148, 20, 11),
        button(IdLoadInitialFuel, "Load Initial Fuel!", 25, 262, 148, 20, 11),
        button(IdUpdateNow, "Update now!", 265, 270, 250, 20, 10),
        button(IdAbortDownload, "Abort download!", 330, 200, 120, 20, 16),
        button(IdShowReport, "Show Report", 265, 240, 250, 20, 12),
        button(IdUploadReport, "Upload Report", 265, 270, 250, 20, 12),
        button(IdDeleteReport, "Delete Report", 265, 300, 250, 20, 12),
        button(IdShowFlight, "Show Flight", 265, 270, 250, 20, 17),
        button(IdContinueFlight, "Continue Flight", 230, 330, 150, 20, 17),
        button(IdDeleteFlight, "Delete Flight", 400, 330, 150, 20, 17),
        button(IdChangePassengers, "Change", 445, 126, 65, 18, 14),
        button(IdChangeCargo, "Change", 445, 146, 65, 18, 14),
        button(IdChangeFuel, "Change", 445, 266, 65, 18, 14),
        button(IdReservePlus, "+", 445, 286, 30, 18, 14),
        button(IdReserveMinus, "-", 480, 286, 30, 18, 14),
        check(IdCheckAutoLogin, "AutoLogin", 500, 140, 2),
        combo(IdComboFuelMethod, "SimpleFuel", 392, 154, 2),
        check(IdCheckSound, "Sound", 500, 180, 2),
        combo(IdComboInterface, "FSInterface", 392, 198, 2),
        check(IdCheckTracker, "TrackerOn", 500, 240, 2),
        check(IdCheckFsMessages, "FSMessages", 500, 260, 2),
        check(IdCheckPenaltiesOff, "PenaltiesOff", 500, 280, 2),
        combo(IdComboAutosave, "Enable Autosave(beta)", 392, 298, 2),
        edit(IdEditUser, "", 300, 195, 210, 20, 0, StyleHScroll),
        edit(IdEditPassword, "", 300, 220, 210, 20, 0, StylePassword),
        edit(IdEditAdditionalFuel, "", 313, 240, 65, 25, 13, StyleRightAligned),
        tank(IdTankMainLeft, 277, 122),
        tank(IdTankMainCenter, 357, 172),
        tank(IdTankMainRight, 437, 122),
        tank(IdTankAuxLeft, 257, 172),
        tank(IdTankAuxRight, 457, 172),
        tank(IdTankTipLeft, 217, 222),
        tank(IdTankTipRight, 497, 222),
        tank(IdTankCenter2, 357, 222),
        tank(IdTankCenter3, 357, 272),
        tank(IdTankExternal1, 307, 322),
        tank(IdTankExternal2, 407, 322),
        edit(IdEditComment, "Write your comment here...", 215, 120, 350, 150, 15, StyleMultiLine),
        check(IdCheckDeliverPackages, "Deliver Packages", 215, 290, 15),
        edit(IdEditDivertAirport, "", 215, 145, 100, 25, 18, StyleMultiLine),
        button(IdConfirmDivert, "Confirm Divert", 25, 286, 148, 20, 18),
        button(IdBackFromDivert, "Back", 25, 262, 148, 20, 18),
        {{ControlKind::Progress, IdProgress, "", 265, 170, 250, 20, StyleSmooth}, 16},
    };
}

} // namespace

const std::vector<ControlDefinition>& windowControls()
{
    static const std::vector<ControlDefinition> table = buildControlTable();
    return table;
}
