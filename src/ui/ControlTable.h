// The main window's controls in creation order: kind, id, caption, position,
// size, style and the page group that shows each.
#pragma once

#include "platform/Toolkit.h"

#include <vector>

struct ControlDefinition {
    ControlSpec layout;
    int group;
};

const std::vector<ControlDefinition>& windowControls();
