// Where the program's resources (skin, region, icon, sounds) are: the folder
// named by QVL_RESOURCE_DIR, else the installed share folder beside the
// program (<prefix>/bin/../share/quenvale), else the build tree's resources.
#pragma once

#include <string>

// Empty when no candidate holds the skin.
std::string findResourceFolder();
