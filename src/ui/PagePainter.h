// Paints the window's pages on top of the skin: the title line, the pilot
// panel, the page on show and the "loading..." line.
#pragma once

class CUserInterface;
class Painter;

class CPagePainter {
public:
    explicit CPagePainter(CUserInterface& ui);

    // One whole paint of the page on show.
    void paint(Painter& painter);

private:
    CUserInterface& ui;
};
