// SoundOutput that only records what it was asked to play.
#pragma once

#include "platform/SoundOutput.h"

#include <string>
#include <vector>

class RecordingSoundOutput final : public SoundOutput {
public:
    bool playAsync(const std::string& path) override
    {
        played.push_back(path);
        return succeed;
    }
    std::vector<std::string> played;
    bool succeed = true;
};
