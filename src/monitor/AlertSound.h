// The one sound call the rules make: a named wave file for a penalty or an
// event. The sound player implements it.
#pragma once

#include <string>

class CAlertSound {
public:
    virtual void play(const std::string& name, bool inFolder) = 0;

protected:
    ~CAlertSound() = default;
};
