// The window's child controls, kept in creation order and found by id (the
// first control with that id). Unknown ids are ignored: reads give an empty
// text, 0 or false.
#pragma once

#include "ui/UserInterfaceObject.h"

#include <memory>
#include <string>
#include <vector>

class CObjectManager {
public:
    explicit CObjectManager(Window& window);
    ~CObjectManager();
    CObjectManager(const CObjectManager&) = delete;
    CObjectManager& operator=(const CObjectManager&) = delete;

    // Creates the control in the window and appends its record; nullptr when
    // the window refuses it.
    CUserInterfaceObject* addObject(const ControlSpec& layout, int group);
    CUserInterfaceObject* findObject(int id) const;
    CUserInterfaceObject* firstObject() const { return first.get(); }

    void showObject(int id);
    void hideObject(int id);
    // Shows every control of the group and every control of all pages.
    void showGroup(int group);
    // Hides every control but "Exit" and the three title-bar buttons.
    void hideAll();

    std::string getText(int id) const;
    void setText(int id, const std::string& text);
    int getNumber(int id) const;
    bool getCheck(int id) const;
    void setCheck(int id, bool checked);

    // The selected item's text (at most 255 characters); empty when none.
    std::string getComboText(int id) const;
    // Replaces the items and selects the one equal to `selected`, else the first.
    void fillCombo(int id, const std::vector<std::string>& items, const std::string& selected);

    // The progress bar, 0.0 to 1.0.
    void setProgress(double fraction);
    // The toolkit's own disabled state (tank fields).
    void enableWindow(int id, bool enabled);

    void setHighlighted(int id, bool on);
    bool isHighlighted(int id) const;
    void setEnabled(int id, bool enabled);
    bool isEnabled(int id) const;

protected:
    Window& window;

private:
    std::unique_ptr<CUserInterfaceObject> first;
    CUserInterfaceObject* last = nullptr;
};
