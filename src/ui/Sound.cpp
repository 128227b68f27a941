// CSound: picks the file and hands it to the platform player.
#include "ui/Sound.h"

#include "core/RegularFile.h"
#include "platform/SoundOutput.h"

#include <exception>

CSound::CSound(SoundOutput& out, const std::string& soundFolder, const std::string& lang)
    : output(out), log("CSound", CDebugLog::Quiet{})
{
    setPath(soundFolder);
    language = lang;
    log.debug("Sound language: " + language);
    enabled = true;
}

CSound::~CSound() = default;

void CSound::setPath(const std::string& soundFolder)
{
    try {
        folder = soundFolder;
        folderSet = true;
        log.debug("Sound directory: " + folder);
    } catch (const std::exception&) {
        report("Exception:CSound::setPath Sound directory: " + soundFolder);
    }
}

void CSound::report(const std::string& line)
{
    message = line;
    log.error(line);
}

void CSound::enable()
{
    enabled = true;
    log.debug("Sound enabled.");
}

void CSound::disable()
{
    enabled = false;
    log.debug("Sound disabled.");
}

void CSound::play(int id)
{
    if (!enabled)
        return;
    const char* file = nullptr;
    switch (id) {
    case 0:
        file = "/snd_btn_click.wav";
        break;
    case 1:
        file = "/snd_btn_disabled.wav";
        break;
    case 2:
        file = "/snd_error.wav";
        break;
    default:
        report("Unknown ID: " + std::to_string(id));
        file = "/snd_error.wav";
        break;
    }
    const std::string path = folder + file;
    if (!output.playAsync(path))
        report("Could not play sound! (File: " + path + ")");
}

void CSound::play(const std::string& name, bool inFolder)
{
    if (!enabled)
        return;
    try {
        std::string path;
        if (CRegularFile::isRegular(name))
            path = name;
        else if (inFolder)
            path = folder + "/" + name;
        else
            path = folder + "/" + language + "/" + name;
        if (!output.playAsync(path))
            report("Could not play sound! (File: " + name + ")");
    } catch (const std::exception&) {
        report("Exception: CSound::play(string& sound) Could not play sound! (File: " + name + ")");
    }
}
