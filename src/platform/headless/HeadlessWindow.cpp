// HeadlessWindow: controls in memory, scripted message boxes, recorded paints.
#include "platform/headless/HeadlessWindow.h"

#include <algorithm>
#include <cctype>

void HeadlessWindow::invalidate(const Rect* area)
{
    if (area == nullptr) {
        ++wholeWindowInvalidations;
        invalidated.push_back(Rect{});
    } else {
        invalidated.push_back(*area);
    }
}

void HeadlessWindow::paintNow()
{
    ++paints;
    painter.clear();
    painter.drawSkin();
    if (events != nullptr)
        events->onPaint(painter);
}

const RecordingPainter& HeadlessWindow::paintAll()
{
    paintNow();
    return painter;
}

MessageBoxResult HeadlessWindow::messageBox(const std::string& text, const std::string& title,
                                            MessageBoxButtons buttons, MessageBoxIcon icon)
{
    ShownBox box{text, title, buttons, icon};
    boxes.push_back(box);
    if (onMessageBox)
        onMessageBox(box);
    if (buttons == MessageBoxButtons::Ok)
        return MessageBoxResult::Ok;
    if (responder)
        return responder(box);
    if (!answers.empty()) {
        MessageBoxResult answer = answers.front();
        answers.pop_front();
        return answer;
    }
    return nextAnswer;
}

bool HeadlessWindow::createControl(const ControlSpec& layout)
{
    Control control;
    control.layout = layout;
    control.visible = (layout.style & StyleVisible) != 0;
    control.text = layout.kind == ControlKind::Edit ? layout.caption : std::string();
    controls.push_back(std::move(control));
    return true;
}

HeadlessWindow::Control* HeadlessWindow::find(int id)
{
    auto it = std::find_if(controls.begin(), controls.end(), [id](const Control& c) { return c.layout.id == id; });
    return it == controls.end() ? nullptr : &*it;
}

const HeadlessWindow::Control* HeadlessWindow::findControl(int id) const
{
    return const_cast<HeadlessWindow*>(this)->find(id);
}

void HeadlessWindow::showControl(int id, bool visible)
{
    if (Control* control = find(id))
        control->visible = visible;
}

void HeadlessWindow::enableControl(int id, bool enabled)
{
    if (Control* control = find(id))
        control->enabled = enabled;
}

void HeadlessWindow::setButtonLook(int id, bool highlighted, bool enabled)
{
    if (Control* control = find(id)) {
        control->highlighted = highlighted;
        control->lookEnabled = enabled;
    }
}

std::string HeadlessWindow::getControlText(int id)
{
    Control* control = find(id);
    return control == nullptr ? std::string() : control->text;
}

void HeadlessWindow::setControlText(int id, const std::string& text)
{
    if (Control* control = find(id))
        control->text = text;
}

bool HeadlessWindow::getCheck(int id)
{
    Control* control = find(id);
    return control != nullptr && control->checked;
}

void HeadlessWindow::setCheck(int id, bool checked)
{
    if (Control* control = find(id))
        control->checked = checked;
}

void HeadlessWindow::setComboItems(int id, const std::vector<std::string>& items, int selected)
{
    if (Control* control = find(id)) {
        control->items = items;
        control->selected = selected >= 0 && selected < static_cast<int>(items.size()) ? selected : -1;
    }
}

int HeadlessWindow::getComboSelection(int id)
{
    Control* control = find(id);
    return control == nullptr ? -1 : control->selected;
}

void HeadlessWindow::setProgress(int id, double fraction)
{
    if (Control* control = find(id))
        control->progress = std::clamp(fraction, 0.0, 1.0);
}

bool HeadlessWindow::addTrayIcon(const std::string& tooltip)
{
    trayTooltip = tooltip;
    trayIcon = true;
    return true;
}

bool HeadlessWindow::click(int id)
{
    Control* control = find(id);
    bool isButton = control != nullptr && control->layout.kind == ControlKind::Button;
    if (!isButton || !reachable() || !control->visible || !control->enabled || !control->lookEnabled)
        return false;
    if (events != nullptr)
        events->onCommand(id);
    return true;
}

bool HeadlessWindow::typeText(int id, const std::string& text)
{
    Control* control = find(id);
    if (control == nullptr || control->layout.kind != ControlKind::Edit || !reachable())
        return false;
    control->text.clear();
    for (const char c : text) {
        if ((control->layout.style & StyleDigitsOnly) == 0 || std::isdigit(static_cast<unsigned char>(c)) != 0)
            control->text += c;
    }
    if (events != nullptr)
        events->onEditChanged(id);
    return true;
}

bool HeadlessWindow::clickCheck(int id)
{
    Control* control = find(id);
    if (control == nullptr || control->layout.kind != ControlKind::CheckBox || !reachable() || !control->visible ||
        !control->enabled)
        return false;
    control->checked = !control->checked;
    if (events != nullptr)
        events->onCommand(id);
    return true;
}

bool HeadlessWindow::selectComboText(int id, const std::string& text)
{
    Control* control = find(id);
    if (control == nullptr)
        return false;
    auto it = std::find(control->items.begin(), control->items.end(), text);
    if (it == control->items.end())
        return false;
    control->selected = static_cast<int>(it - control->items.begin());
    return true;
}

bool HeadlessWindow::isControlVisible(int id) const
{
    const Control* control = findControl(id);
    return control != nullptr && control->visible;
}

std::vector<int> HeadlessWindow::visibleControls() const
{
    std::vector<int> ids;
    for (const Control& control : controls)
        if (control.visible)
            ids.push_back(control.layout.id);
    return ids;
}
