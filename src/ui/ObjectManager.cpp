// CObjectManager: the control list and the by-id operations on it.
#include "ui/ObjectManager.h"

#include "ui/ControlIds.h"

#include <algorithm>

namespace {

constexpr std::size_t kMaxComboText = 255;
constexpr int kComboHeight = 180; // room for the drop-down list

bool staysVisible(int id)
{
    return id == IdExit || id == IdClose || id == IdMinimise || id == IdHide;
}

} // namespace

CObjectManager::CObjectManager(Window& w) : window(w) {}

CObjectManager::~CObjectManager() = default;

CUserInterfaceObject* CObjectManager::addObject(const ControlSpec& requested, int group)
{
    ControlSpec layout = requested;
    layout.caption = layout.caption.substr(0, CUserInterfaceObject::kMaxCaption);
    if (layout.kind == ControlKind::Combo)
        layout.height = kComboHeight;
    if (!window.createControl(layout))
        return nullptr;
    auto object = std::make_unique<CUserInterfaceObject>(window, layout, group);
    CUserInterfaceObject* added = object.get();
    if (last == nullptr)
        first = std::move(object);
    else
        last->next = std::move(object);
    last = added;
    return added;
}

CUserInterfaceObject* CObjectManager::findObject(int id) const
{
    for (CUserInterfaceObject* o = first.get(); o != nullptr; o = o->getNext()) {
        if (o->getId() == id)
            return o;
    }
    return nullptr;
}

void CObjectManager::showObject(int id)
{
    if (CUserInterfaceObject* o = findObject(id))
        o->show();
}

void CObjectManager::hideObject(int id)
{
    if (CUserInterfaceObject* o = findObject(id))
        o->hide();
}

void CObjectManager::showGroup(int group)
{
    for (CUserInterfaceObject* o = first.get(); o != nullptr; o = o->getNext()) {
        if (o->getGroup() == group || o->getGroup() == CUserInterfaceObject::kAllPages)
            o->show();
    }
}

void CObjectManager::hideAll()
{
    for (CUserInterfaceObject* o = first.get(); o != nullptr; o = o->getNext()) {
        if (!staysVisible(o->getId()))
            o->hide();
    }
}

std::string CObjectManager::getText(int id) const
{
    CUserInterfaceObject* o = findObject(id);
    return o == nullptr ? std::string() : o->getText();
}

void CObjectManager::setText(int id, const std::string& text)
{
    if (CUserInterfaceObject* o = findObject(id))
        o->setText(text);
}

int CObjectManager::getNumber(int id) const
{
    CUserInterfaceObject* o = findObject(id);
    return o == nullptr ? 0 : o->getNumber();
}

bool CObjectManager::getCheck(int id) const
{
    CUserInterfaceObject* o = findObject(id);
    return o != nullptr && o->getCheck();
}

void CObjectManager::setCheck(int id, bool checked)
{
    if (CUserInterfaceObject* o = findObject(id))
        o->setCheck(checked);
}

std::string CObjectManager::getComboText(int id) const
{
    CUserInterfaceObject* o = findObject(id);
    if (o == nullptr || o->getKind() != ControlKind::Combo)
        return {};
    const int selected = window.getComboSelection(id);
    const std::vector<std::string>& items = o->comboItems;
    if (selected < 0 || selected >= static_cast<int>(items.size()))
        return {};
    return items[static_cast<std::size_t>(selected)].substr(0, kMaxComboText);
}

void CObjectManager::fillCombo(int id, const std::vector<std::string>& items, const std::string& selected)
{
    CUserInterfaceObject* o = findObject(id);
    if (o == nullptr || o->getKind() != ControlKind::Combo)
        return;
    auto it = std::find(items.begin(), items.end(), selected);
    const int index = it == items.end() ? 0 : static_cast<int>(it - items.begin());
    o->comboItems = items;
    window.setComboItems(id, items, items.empty() ? -1 : index);
}

void CObjectManager::setProgress(double fraction)
{
    if (findObject(IdProgress) != nullptr)
        window.setProgress(IdProgress, std::clamp(fraction, 0.0, 1.0));
}

void CObjectManager::enableWindow(int id, bool enabled)
{
    if (findObject(id) != nullptr)
        window.enableControl(id, enabled);
}

void CObjectManager::setHighlighted(int id, bool on)
{
    if (CUserInterfaceObject* o = findObject(id))
        o->setHighlighted(on);
}

bool CObjectManager::isHighlighted(int id) const
{
    CUserInterfaceObject* o = findObject(id);
    return o != nullptr && o->isHighlighted();
}

void CObjectManager::setEnabled(int id, bool enabled)
{
    if (CUserInterfaceObject* o = findObject(id)) {
        if (enabled)
            o->enable();
        else
            o->disable();
    }
}

bool CObjectManager::isEnabled(int id) const
{
    CUserInterfaceObject* o = findObject(id);
    return o != nullptr && o->isEnabled();
}
