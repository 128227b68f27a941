// CUserInterfaceObject: a control's record and its by-id access to the window.
#include "ui/UserInterfaceObject.h"

#include <climits>

CUserInterfaceObject::CUserInterfaceObject(Window& w, const ControlSpec& layout, int pageGroup)
    : window(w), group(pageGroup), id(layout.id), kind(layout.kind), x(layout.x), y(layout.y),
      caption(layout.caption.substr(0, kMaxCaption))
{
}

CUserInterfaceObject::~CUserInterfaceObject()
{
    // Unlink iteratively: a long chain must not recurse once per control.
    std::unique_ptr<CUserInterfaceObject> rest = std::move(next);
    while (rest)
        rest = std::move(rest->next);
}

std::string CUserInterfaceObject::getText()
{
    if (kind != ControlKind::Edit)
        return {};
    std::string text = window.getControlText(id);
    if (text.size() > kMaxText)
        text.resize(kMaxText);
    return text;
}

void CUserInterfaceObject::setText(const std::string& text)
{
    if (kind == ControlKind::Edit)
        window.setControlText(id, text);
}

int CUserInterfaceObject::getNumber()
{
    if (kind != ControlKind::Edit)
        return parseNumber("not a valid object");
    return parseNumber(window.getControlText(id).substr(0, kMaxNumberText));
}

bool CUserInterfaceObject::getCheck()
{
    return kind == ControlKind::CheckBox && window.getCheck(id);
}

void CUserInterfaceObject::setCheck(bool checked)
{
    if (kind == ControlKind::CheckBox)
        window.setCheck(id, checked);
}

void CUserInterfaceObject::show()
{
    window.showControl(id, true);
}

void CUserInterfaceObject::hide()
{
    window.showControl(id, false);
}

void CUserInterfaceObject::setHighlighted(bool on)
{
    highlighted = on;
    applyLook();
}

void CUserInterfaceObject::enable()
{
    enabled = true;
    applyLook();
}

void CUserInterfaceObject::disable()
{
    enabled = false;
    applyLook();
}

void CUserInterfaceObject::applyLook()
{
    if (kind == ControlKind::Button)
        window.setButtonLook(id, highlighted, enabled);
}

int CUserInterfaceObject::parseNumber(const std::string& text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\r'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative)
        return static_cast<int>(-value);
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}
