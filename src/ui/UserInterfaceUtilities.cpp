// CUserInterfaceUtilities: invalidations handed to the window.
#include "ui/UserInterfaceUtilities.h"

CUserInterfaceUtilities::CUserInterfaceUtilities(Window& w) : CUserInterfaceText(w) {}

CUserInterfaceUtilities::~CUserInterfaceUtilities() = default;

void CUserInterfaceUtilities::Redraw()
{
    window.invalidate(nullptr);
}

void CUserInterfaceUtilities::RedrawContent()
{
    window.invalidate(&kContentArea);
}

void CUserInterfaceUtilities::RedrawContinueColumn()
{
    window.invalidate(&kContinueColumn);
}
