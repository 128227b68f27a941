// WindowFixture: a fresh store and the window's creation.
#include "support/WindowFixture.h"

#include "report/IniParser.h"

#include <algorithm>
#include <filesystem>

WindowFixture::WindowFixture()
{
    CIniParser::destroyInstance();
    std::filesystem::remove(CIniParser::getInstance().getSettingsPath());
    CIniParser::getInstance().reload();
}

WindowFixture::~WindowFixture()
{
    ui.reset();
    CIniParser::destroyInstance();
}

void WindowFixture::setting(const std::string& section, const std::string& key, const std::string& value)
{
    CIniParser::getInstance().writeConfigString(section, key, value);
}

void WindowFixture::open()
{
    logs.reset();
    ui = std::make_unique<CUserInterface>(window, sounds);
    auto scripted = std::make_unique<ScriptedSimulator>(ui->getClient());
    sim = scripted.get();
    ui->setSimulator(std::move(scripted));
    ui->OnCreate();
}

int WindowFixture::played(const std::string& path) const
{
    return static_cast<int>(std::count(sounds.played.begin(), sounds.played.end(), path));
}
