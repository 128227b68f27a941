// The options and session flags that the pages and the button actions share
// with the user interface: the stored settings, the login, the comment page's
// package offer.
#pragma once

enum WeightUnit { WeightUnitKg = 0, WeightUnitLbs = 1 };

struct CUiState {
    // Options (settings "settings" section).
    static constexpr int kFuelStandard = 0, kFuelSimple = 1, kFuelReadOnly = 2;
    int fuelMethod = kFuelStandard;
    int autosaveMode = 0; // 0 None, 1 QVL Data only, 2 Flight + Data
    bool trackerOn = false;
    bool fsMessages = false;
    bool autoLogin = false;
    bool soundOn = true;
    bool penaltiesOff = false;
    bool showToggleLightBtn = false;

    // Login state: set by a successful login, never cleared.
    bool loggedIn = false;
    int weightUnit = WeightUnitKg;
    // The comment page offers "Deliver Packages" (the flight actions decide).
    bool offerPackages = false;
};
