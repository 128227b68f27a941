// CPagePainter: the parts of every paint and the short pages.
#include "ui/PagePainter.h"

#include "core/FixedText.h"
#include "core/Version.h"
#include "platform/Painter.h"
#include "report/StoredSettings.h"
#include "server/ClientInterface.h"
#include "server/ServerSettings.h"
#include "ui/ControlIds.h"
#include "ui/DisplayFormat.h"
#include "ui/FlightPagePainter.h"
#include "ui/FuelPagePainter.h"
#include "ui/PageCanvas.h"
#include "ui/PageView.h"
#include "ui/ReportPagePainter.h"
#include "ui/UiState.h"

using namespace PageColour;

namespace {

const char* const kFuelErrorLines[] = {
    "The client is unable to set fuel quatity in the simulator.",
    "In the client 'Options' page please either change the ",
    "Aircraft Fueling method to 'Read Only' or switch the",
    "'Flight Simulator Interface' from 'SimConnect' to 'FSUIPC'",
    "or from 'FSUIPC to 'SimConnect'. IF you change the Flight",
    "Simulator Interface you need to restart the client for it",
    "to take effect.",
};

struct Label {
    const char* text;
    int y;
};

const Label kOptionLabels[] = {
    {"Automatic login at startup", 140}, {"Aircraft fueling method", 160}, {"Play sounds", 180},
    {"Flight Simulator interface", 200}, {"Flight monitor tracking", 240}, {"Display text in Flight Simulator", 260},
    {"Disable minor penalties", 280},    {"Enable autosave (beta)", 300},
};

// Pages whose left panel is their own: the pilot panel would be drawn over it.
bool showsPilotPanel(int page)
{
    return page != PageLogin && page != PageFuelTanks && page != PageWrongVersion && page != PageDownload;
}

} // namespace

CPagePainter::CPagePainter(CPageView& userInterface)
    : ui(userInterface), flightPages(std::make_unique<CFlightPagePainter>(userInterface)),
      reportPages(std::make_unique<CReportPagePainter>(userInterface)),
      fuelPages(std::make_unique<CFuelPagePainter>(userInterface))
{
}

CPagePainter::~CPagePainter() = default;

void CPagePainter::paint(Painter& painter)
{
    CPageCanvas canvas(painter);
    const int page = ui.getPage();
    paintTitleLine(canvas);
    if (ui.getUiState().loggedIn && showsPilotPanel(page))
        paintPilotPanel(canvas);
    paintPage(canvas, page);
    paintLoading(canvas);
}

void CPagePainter::paintTitleLine(CPageCanvas& canvas)
{
    canvas.text(17, 45, 4, White, std::string("Client - ") + kClientVersion);
}

void CPagePainter::paintPilotPanel(CPageCanvas& canvas)
{
    const Tervix_Pilots& pilot = ui.getClient().pilot;
    canvas.text(26, 87, 3, White, "Pilot");
    const char* const labels[] = {"Name:", "Surname:", "Rank:", "Location:", "Budget:"};
    for (int i = 0; i < 5; ++i)
        canvas.text(26, 110 + 20 * i, 5, Grey50, labels[i]);
    const std::string location = fieldText(pilot.location);
    const std::string altCode = fieldText(pilot.alt_code);
    const std::string values[] = {
        CDisplayFormat::cut13(fieldText(pilot.name)),
        CDisplayFormat::cut13(fieldText(pilot.surname)),
        CDisplayFormat::cut13(fieldText(pilot.rank)),
        altCode.empty() || altCode == location ? location : location + " (" + altCode + ")",
        CDisplayFormat::budget(fieldText(pilot.budget)),
    };
    for (int i = 0; i < 5; ++i)
        canvas.text(82, 110 + 20 * i, 4, Grey100, values[i]);
}

void CPagePainter::paintLoading(CPageCanvas& canvas)
{
    if (!ui.isLoadingPending())
        return;
    canvas.text(265, 170, 13, Skin, "loading...");
}

void CPagePainter::paintPage(CPageCanvas& canvas, int page)
{
    switch (page) {
    case PageLogin:
        paintLogin(canvas);
        break;
    case PageHome:
        paintHome(canvas);
        break;
    case PageOptions:
        paintOptions(canvas);
        break;
    case PageFlightInformation:
        flightPages->paintFlightInformation(canvas);
        break;
    case PageFlying:
        flightPages->paintFlying(canvas);
        break;
    case PageChecklist:
        flightPages->paintChecklist(canvas);
        break;
    case PageReportRoute:
        reportPages->paintRoute(canvas);
        break;
    case PageReportFinances:
        reportPages->paintFinances(canvas);
        break;
    case PageReportPenalties:
        reportPages->paintPenalties(canvas);
        break;
    case PageWrongVersion:
        paintWrongVersion(canvas);
        break;
    case PageFuelTanks:
        fuelPages->paintTanks(canvas);
        break;
    case PageReportBackup:
        canvas.wrapped(PageArea::Content, 0, Black,
                       "Your most recent flight report could not be uploaded to the Quenvale website. Please try "
                       "again using the 'Upload report' button below.");
        break;
    case PageSimpleFuel:
    case PageLoadSheet:
        fuelPages->paintLoadSheet(canvas, page == PageLoadSheet);
        break;
    case PageComment:
        paintComment(canvas);
        break;
    case PageDownload:
        paintDownload(canvas);
        break;
    case PageAbortedFlight:
        reportPages->paintAbortedFlight(canvas);
        break;
    case PageDivert:
        canvas.text(215, 120, 6, Black, "Planned diversion airport");
        break;
    case PageFuelError:
        paintFuelError(canvas);
        break;
    default:
        break;
    }
}

void CPagePainter::paintLogin(CPageCanvas& canvas)
{
    canvas.heading("Login");
    canvas.text(230, 200, 8, Black, "Email:");
    canvas.text(230, 225, 8, Black, "Password:");
    canvas.text(230, 325, 8, Black, "connecting to " + ui.getClient().getServerUrl());
}

void CPagePainter::paintHome(CPageCanvas& canvas)
{
    canvas.heading("Home - News");
    const int status = ui.pilotStatus();
    if (status == 2) {
        canvas.wrapped(PageArea::ContentTitle, 3, Red, "You have been supended by the QVL Staff");
    } else if (status == 3) {
        canvas.wrapped(PageArea::ContentTitle, 3, Red, "Blocked, Multiple Accounts from same location");
    } else {
        const CClientInterface::News& news = ui.getClient().news;
        canvas.wrapped(PageArea::ContentTitle, 3, Black, fieldText(news.Header));
        canvas.wrapped(PageArea::ContentBody, 0, Black, fieldText(news.Text));
    }
}

void CPagePainter::paintOptions(CPageCanvas& canvas)
{
    canvas.heading("Options");
    canvas.text(200, 120, 3, Black, "General Client Settings");
    canvas.text(200, 220, 3, Black, "In Flight Settings");
    for (const Label& label : kOptionLabels)
        canvas.text(210, label.y, 8, Black, label.text);
}

void CPagePainter::paintVersionPanel(CPageCanvas& canvas, bool withBeta)
{
    const CClientInterface& client = ui.getClient();
    const std::string actual = fieldText(client.versions[CClientInterface::VersionClient]);
    const std::string beta = fieldText(client.versions[CClientInterface::VersionBeta]);
    canvas.text(26, 87, 3, White, "Version");
    canvas.text(26, 115, 5, OwnVersion, std::string("Your Version: ") + kClientVersion);
    canvas.text(26, 135, 5, Grey50, "Actual Version: " + actual);
    if (withBeta && beta != actual)
        canvas.text(26, 155, 5, Grey50, "Beta Version: " + beta);
}

void CPagePainter::paintWrongVersion(CPageCanvas& canvas)
{
    canvas.heading("Wrong Version");
    canvas.wrapped(PageArea::ContentTitle, 3, Black, "You are using an old version of Quenvale");
    canvas.wrapped(PageArea::ContentBody, 1, Black,
                   "Please visit " + CStoredSettings::server().webUrl +
                       " to download the newest version of the client.\n\nThank you for testing our software.");
    paintVersionPanel(canvas, true);
}

void CPagePainter::paintComment(CPageCanvas& canvas)
{
    if (ui.getUiState().offerPackages)
        canvas.text(235, 290, 8, Black, "Deliver All Packages");
}

void CPagePainter::paintDownload(CPageCanvas& canvas)
{
    canvas.heading("Update");
    canvas.text(215, 120, 6, Black, "Downloading update...");
    paintVersionPanel(canvas, false);
}

void CPagePainter::paintFuelError(CPageCanvas& canvas)
{
    int y = 136;
    for (const char* line : kFuelErrorLines) {
        canvas.text(210, y, 0, Black, line);
        y += 16;
    }
}
