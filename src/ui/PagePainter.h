// Paints the window's pages on top of the skin: the title line, the pilot
// panel, the page on show and the "loading..." line. The flight, report and
// fuel pages have painters of their own; the short pages are drawn here.
#pragma once

#include <memory>

class CPageView;
class Painter;
class CPageCanvas;
class CFlightPagePainter;
class CReportPagePainter;
class CFuelPagePainter;

class CPagePainter {
public:
    explicit CPagePainter(CPageView& ui);
    ~CPagePainter();
    CPagePainter(const CPagePainter&) = delete;
    CPagePainter& operator=(const CPagePainter&) = delete;

    // One whole paint of the page on show, then the loading painter.
    void paint(Painter& painter);

private:
    void paintTitleLine(CPageCanvas& canvas);
    void paintPilotPanel(CPageCanvas& canvas);
    void paintPage(CPageCanvas& canvas, int page);
    void paintLoading(CPageCanvas& canvas);

    void paintLogin(CPageCanvas& canvas);
    void paintHome(CPageCanvas& canvas);
    void paintOptions(CPageCanvas& canvas);
    void paintWrongVersion(CPageCanvas& canvas);
    void paintVersionPanel(CPageCanvas& canvas, bool withBeta);
    void paintComment(CPageCanvas& canvas);
    void paintDownload(CPageCanvas& canvas);
    void paintFuelError(CPageCanvas& canvas);

    CPageView& ui;
    std::unique_ptr<CFlightPagePainter> flightPages;
    std::unique_ptr<CReportPagePainter> reportPages;
    std::unique_ptr<CFuelPagePainter> fuelPages;
};
