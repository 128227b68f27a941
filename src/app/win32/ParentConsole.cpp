// attachParentConsole: a window program starts without usable standard
// handles unless its parent gave it some.
#include "app/win32/ParentConsole.h"

#include <windows.h>

#include <cstdio>

namespace {

bool leadsSomewhere(DWORD which)
{
    const HANDLE h = GetStdHandle(which);
    return h != nullptr && h != INVALID_HANDLE_VALUE && GetFileType(h) != FILE_TYPE_UNKNOWN;
}

} // namespace

void attachParentConsole()
{
    const bool out = leadsSomewhere(STD_OUTPUT_HANDLE);
    const bool err = leadsSomewhere(STD_ERROR_HANDLE);
    const bool in = leadsSomewhere(STD_INPUT_HANDLE);
    if ((out && err && in) || !AttachConsole(ATTACH_PARENT_PROCESS))
        return; // redirected, or started without a console: the exit status tells
    if (!out && std::freopen("CONOUT$", "w", stdout) != nullptr)
        std::setvbuf(stdout, nullptr, _IONBF, 0);
    if (!err && std::freopen("CONOUT$", "w", stderr) != nullptr)
        std::setvbuf(stderr, nullptr, _IONBF, 0);
    if (!in)
        (void)std::freopen("CONIN$", "r", stdin);
}
