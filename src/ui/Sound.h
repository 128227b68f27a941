// The sound player: the interface sounds by id and named wave files, from the
// sound folder or its language subfolder. Playback goes through SoundOutput.
#pragma once

#include "core/DebugLog.h"
#include "monitor/AlertSound.h"

#include <string>

class SoundOutput;

class CSound : public CAlertSound {
public:
    CSound(SoundOutput& output, const std::string& folder = "sound", const std::string& language = "en");
    virtual ~CSound();

    virtual void play(int id);
    void play(const std::string& name, bool inFolder) override;

    void enable();
    void disable();
    bool isEnabled() const { return enabled; }
    // The last line composed for the log.
    const std::string& getMessage() const { return message; }

    // The front-end points the player at the installed sound folder.
    void setPath(const std::string& folder);

private:
    void report(const std::string& line);

    SoundOutput& output;
    CDebugLog log;
    std::string folder;
    std::string language;
    std::string message;
    bool folderSet = false;
    bool enabled = false;
};
