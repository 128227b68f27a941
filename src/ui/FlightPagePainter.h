// The pages around the flight itself: the booked flight's information, the
// flying page with its live figures and report items, and the checklist that
// tells the pilot why the flight cannot start.
#pragma once

#include <string>

class CPageView;
class CPageCanvas;

class CFlightPagePainter {
public:
    explicit CFlightPagePainter(CPageView& ui) : ui(ui) {}

    void paintFlightInformation(CPageCanvas& canvas);
    void paintFlying(CPageCanvas& canvas);
    void paintChecklist(CPageCanvas& canvas);

    // The pilot's seat as the flight information page names it.
    static const char* crewPositionText(const std::string& crewType);
    static const char* phaseName(int phase);
    // The first start check that fails on the last snapshot; empty when all pass.
    std::string firstFailingCheck();

private:
    void paintFlyingLeftColumn(CPageCanvas& canvas);
    void paintFlyingRightColumn(CPageCanvas& canvas);
    void paintReportItems(CPageCanvas& canvas);
    // The aircraft's range is shorter than the route.
    bool needsTechnicalStop();

    CPageView& ui;
};
