// One child control of the main window: its page group, id, kind, position and
// caption, with the owner-drawn look (highlighted, enabled). The control's
// live state (text, check, visibility) is the window's; this record reads and
// writes it by id.
#pragma once

#include "platform/Toolkit.h"

#include <memory>
#include <string>
#include <vector>

class CUserInterfaceObject {
public:
    static constexpr int kAllPages = 999; // group of the controls every page shows
    static constexpr std::size_t kMaxCaption = 255;
    static constexpr std::size_t kMaxText = 3199; // longest edit text handed out
    static constexpr std::size_t kMaxNumberText = 31;

    CUserInterfaceObject(Window& window, const ControlSpec& layout, int group);
    virtual ~CUserInterfaceObject();
    CUserInterfaceObject(const CUserInterfaceObject&) = delete;
    CUserInterfaceObject& operator=(const CUserInterfaceObject&) = delete;

    // Edit fields only; other kinds give an empty text and ignore a new one.
    virtual std::string getText();
    virtual void setText(const std::string& text);
    // The leading decimal number of an edit field's text; 0 for other kinds.
    virtual int getNumber();
    virtual bool getCheck();
    virtual void setCheck(bool checked);
    virtual void show();
    virtual void hide();

    int getId() const { return id; }
    int getGroup() const { return group; }
    ControlKind getKind() const { return kind; }
    int getX() const { return x; }
    int getY() const { return y; }
    const std::string& getCaption() const { return caption; }

    bool isHighlighted() const { return highlighted; }
    void setHighlighted(bool on);
    bool isEnabled() const { return enabled; }
    void enable();
    void disable();

    CUserInterfaceObject* getNext() const { return next.get(); }

    // Reads text the way an edit field's number is read: optional blanks and
    // sign, then digits; anything else stops it. Saturates at the int range.
    static int parseNumber(const std::string& text);

private:
    friend class CObjectManager;
    void applyLook();

    Window& window;
    int group;
    int id;
    ControlKind kind;
    int x;
    int y;
    std::string caption;
    bool highlighted = false;
    bool enabled = true;
    std::vector<std::string> comboItems; // as last filled; the window holds the selection
    std::unique_ptr<CUserInterfaceObject> next;
};
