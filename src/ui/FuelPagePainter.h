// The fuel pages: the tank page (one field per tank with its capacity, and
// the fuel bill in the left panel) and the load sheet, which shows the
// weights of the booked load and warns when the aircraft is overweight or the
// simulator did not take the fuel.
#pragma once

#include <string>

class CPageView;
class CPageCanvas;

class CFuelPagePainter {
public:
    explicit CFuelPagePainter(CPageView& ui) : ui(ui) {}

    void paintTanks(CPageCanvas& canvas);
    // Page 13 (fuel asked for) or, with `confirm`, page 14 (the flight to confirm).
    void paintLoadSheet(CPageCanvas& canvas, bool confirm);

private:
    // "(+1234 kg)" when the simulator's zero fuel weight is 1 % or more off ours; empty otherwise.
    std::string simulatorDifference(long long simulatorKg, long long zeroFuelKg) const;
    void paintFuelBill(CPageCanvas& canvas);
    void pollForLoadSheet();
    void paintWeights(CPageCanvas& canvas, bool confirm);
    void paintWarnings(CPageCanvas& canvas, bool confirm, long long takeOffKg);

    CPageView& ui;
};
