// CEventBase: the attributes every event kind shares and its description start.
#include "monitor/blackbox/EventBase.h"

#include <pugixml.hpp>

namespace Blackbox {

void CEventBase::readCommon(const pugi::xml_node& element, bool readMultiple)
{
    text = element.attribute("text").as_string();
    sound = element.attribute("sound").as_string();
    multiple = readMultiple && std::string(element.attribute("multiple").as_string()) == "1";
}

std::string CEventBase::describeCommon(const char* kind, bool withMultiple) const
{
    std::string line = std::string("<") + kind + " text=\"" + text + "\" sound=\"" + sound + "\"";
    if (withMultiple)
        line += multiple ? " multiple=1" : " multiple=0";
    return line;
}

} // namespace Blackbox
