// CPagePainter: what each page shows.
#include "ui/PagePainter.h"

#include "platform/Painter.h"
#include "ui/UserInterface.h"

CPagePainter::CPagePainter(CUserInterface& userInterface) : ui(userInterface) {}

void CPagePainter::paint(Painter&)
{
    // The pages join here as they are built.
    (void)ui;
}
