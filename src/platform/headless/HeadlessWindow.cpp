// HeadlessWindow bookkeeping.
#include "platform/headless/HeadlessWindow.h"

void HeadlessWindow::invalidate(const Rect* area)
{
    if (area == nullptr) {
        ++wholeWindowInvalidations;
        invalidated.push_back(Rect{});
    } else {
        invalidated.push_back(*area);
    }
}

MessageBoxResult HeadlessWindow::messageBox(const std::string& text, const std::string& title,
                                            MessageBoxButtons buttons, MessageBoxIcon icon)
{
    boxes.push_back(ShownBox{text, title, buttons, icon});
    return buttons == MessageBoxButtons::Ok ? MessageBoxResult::Ok : nextAnswer;
}

bool HeadlessWindow::isControlVisible(int id) const
{
    auto it = controlVisible.find(id);
    return it != controlVisible.end() && it->second;
}
