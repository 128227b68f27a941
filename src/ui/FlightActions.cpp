// CFlightActions: the dispatch of the flight buttons and the page moves that
// belong to no single step.
#include "ui/FlightActions.h"

#include "platform/Toolkit.h"
#include "report/Report.h"
#include "server/ClientInterface.h"
#include "ui/ActionHost.h"
#include "ui/ControlIds.h"

CFlightActions::CFlightActions(CActionHost& userInterface)
    : ui(userInterface), loadSheet(userInterface), flightStart(userInterface, loadSheet), flightEnd(userInterface),
      log("CFlightActions")
{
    autoUpdate.attach(userInterface);
}

bool CFlightActions::onButton(int id)
{
    switch (id) {
    case IdExit:
    case IdClose:
    case IdMenuExit:
        exit();
        break;
    case IdFly:
        flightStart.fly();
        break;
    case IdEndFlight:
        endFlightOrFinish();
        break;
    case IdNext:
        next();
        break;
    case IdFuelUp:
        loadSheet.fuelUp();
        break;
    case IdLoadInitialFuel:
        loadSheet.loadInitialFuel();
        break;
    case IdBackFromTanks:
    case IdBackFromSimpleFuel:
        loadSheet.back();
        break;
    case IdUpdateNow:
        startUpdate();
        break;
    case IdAbortDownload:
        abortUpdate();
        break;
    case IdShowReport:
    case IdShowFlight:
        showBackup();
        break;
    case IdUploadReport:
        uploadBackup();
        break;
    case IdDeleteReport:
    case IdDeleteFlight:
        deleteBackup();
        break;
    case IdChangePassengers:
        loadSheet.changePassengers();
        break;
    case IdChangeCargo:
        loadSheet.changeCargo();
        break;
    case IdChangeFuel:
        loadSheet.changeFuel();
        break;
    case IdHighSpeedApproved:
        flightEnd.approveHighSpeed();
        break;
    case IdReservePlus:
        loadSheet.reservePlus();
        break;
    case IdReserveMinus:
        loadSheet.reserveMinus();
        break;
    case IdContinueFlight:
        continueFlight();
        break;
    case IdConfirmDivert:
        flightEnd.confirmDivert();
        break;
    default:
        return false;
    }
    return true;
}

void CFlightActions::exit()
{
    const int page = ui.getPage();
    Window& window = ui.getWindow();
    if (page == PageFlying || page == PageComment) {
        const MessageBoxResult answer = window.messageBox("Confirm to abort the flight", "Abort flight?",
                                                          MessageBoxButtons::OkCancel, MessageBoxIcon::Exclamation);
        if (answer != MessageBoxResult::Ok)
            return;
        log.debug("Aborting flight in progress!");
        ui.ShowLoading();
        ui.getClient().resetFlight();
        ui.SetPage(PageHome);
    }
    if (ui.getReport().isHeldInMemory()) {
        const MessageBoxResult answer = window.messageBox(
            "The report could not be uploaded and could not be saved either.\nIt is lost when the client ends. "
            "Exit anyway?",
            "Report not saved!", MessageBoxButtons::OkCancel, MessageBoxIcon::Warning);
        if (answer != MessageBoxResult::Ok)
            return;
        log.warn("Exit with a report that was neither uploaded nor saved; it is lost");
    }
    autoUpdate.stop();
    window.close();
}

void CFlightActions::endSession()
{
    autoUpdate.stop();
    ui.getWindow().close();
}

void CFlightActions::endFlightOrFinish()
{
    // The phase machine shows "End flight" by itself, so the page decides.
    if (ui.getPage() == PageFlying)
        flightEnd.endFlight();
    else if (ui.getPage() == PageComment)
        flightEnd.finishReport();
}

void CFlightActions::backToLogin()
{
    ui.ResetFlight();
    ui.SetPage(PageLogin);
    ui.OnButton(IdLogin);
}

void CFlightActions::next()
{
    const int page = ui.getPage();
    if (page == PageComment) {
        flightEnd.finishReport();
        return;
    }
    if (page == PageReportRoute) {
        ui.SetPage(PageReportFinances);
        return;
    }
    if (page != PageReportFinances && page != PageReportPenalties)
        return;
    if (page == PageReportFinances) {
        const CReport& report = ui.getReport();
        for (int item = 0; item < ReportItemCount; ++item) {
            if (report.getPenalty(item).active != 0) {
                ui.SetPage(PageReportPenalties);
                return;
            }
        }
    }
    ui.ShowLoading();
    backToLogin();
}

void CFlightActions::startUpdate()
{
    ui.SetPage(PageDownload);
    autoUpdate.start();
}

void CFlightActions::abortUpdate()
{
    autoUpdate.stop();
    ui.OnButton(IdLogin);
}

void CFlightActions::showBackup()
{
    if (ui.getReport().loadForUpload())
        ui.SetPage(PageReportRoute);
}

void CFlightActions::uploadBackup()
{
    ui.SetPage(PageReportBackup);
    // A changed backup is refused here and kept, before the restore would drop it.
    CReport& report = ui.getReport();
    if (!report.loadForUpload()) {
        log.warn("Backed up report could not be uploaded. Report has been illegally modified.");
        ui.getWindow().messageBox("It looks like the saved report has been illegally modified.\nThe report was not "
                                  "uploaded! \n",
                                  "Report has been modified!", MessageBoxButtons::Ok, MessageBoxIcon::Warning);
        return;
    }
    // A report the service already holds, or one kept in memory from this
    // run, needs no booking check.
    if (!report.isReportUploaded() && !report.isHeldInMemory() && !ui.restoreForUpload())
        return;
    if (report.uploadReport(true)) {
        backToLogin();
        return;
    }
    ui.warnIfReportUnsaved();
}

void CFlightActions::deleteBackup()
{
    if (ui.getReport().clearBackup())
        backToLogin();
}

void CFlightActions::continueFlight()
{
    ui.continueFlight();
}
