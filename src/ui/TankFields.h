// The eleven tank fields of the fuel page: control id, the snapshot's tank
// slot it edits, the tank's name and where the field sits in the window.
#pragma once

struct TankField {
    int id;
    int slot;
    const char* name;
    int x;
    int y;
};

inline constexpr TankField kTankFields[] = {
    {105, 0, "MAIN CENTER", 357, 172}, {103, 1, "MAIN LEFT", 277, 122},   {104, 2, "MAIN RIGHT", 437, 122},
    {106, 3, "AUX LEFT", 257, 172},    {107, 4, "AUX RIGHT", 457, 172},   {108, 5, "TIP LEFT", 217, 222},
    {109, 6, "TIP RIGHT", 497, 222},   {110, 7, "CENTER 2", 357, 222},    {111, 8, "CENTER 3", 357, 272},
    {112, 9, "EXTERNAL 1", 307, 322},  {113, 10, "EXTERNAL 2", 407, 322},
};
