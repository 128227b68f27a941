// A blackbox event: a rule from the rules file that fires when its condition
// becomes true. The recorder logs the text and plays the sound of a fired
// event and drops an event that is not multiple.
#pragma once

#include <string>

namespace pugi {
class xml_node;
}

namespace Blackbox {

class CEventBase {
public:
    virtual ~CEventBase() = default;
    // Arms the event against the current values (no crossing seen on the next check).
    virtual void reset() = 0;
    // level set: true while the condition holds; clear: true only when it becomes true.
    virtual bool check(bool level) = 0;

    const std::string& getText() const { return text; }
    const std::string& getSound() const { return sound; }
    bool isMultiple() const { return multiple; }

protected:
    CEventBase() = default;
    // text, sound and (unless the kind is never multiple) multiple from the element.
    void readCommon(const pugi::xml_node& element, bool readMultiple);
    // "<kind text="..." sound="..."" with " multiple=N" when asked: the start of a description line.
    std::string describeCommon(const char* kind, bool withMultiple) const;

    std::string text;
    std::string sound;
    bool multiple = false;
    bool fired = false;
};

} // namespace Blackbox
