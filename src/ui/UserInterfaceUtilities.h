// The repaint requests of the user interface: the whole window, the content
// area, and the "Current" column of the aborted-flight page.
#pragma once

#include "ui/UserInterfaceText.h"

class CUserInterfaceUtilities : public CUserInterfaceText {
public:
    explicit CUserInterfaceUtilities(Window& window);
    ~CUserInterfaceUtilities() override;

    virtual void Redraw();
    virtual void RedrawContent();
    void RedrawContinueColumn();

    static constexpr Rect kContentArea{190, 81, 580, 360};
    static constexpr Rect kContinueColumn{415, 200, 580, 315};
};
