// The options: loaded from the settings file into the fields and the options
// page at start, and saved from the page with "Save changes".
#include "report/IniParser.h"
#include "report/PasswordScrambler.h"
#include "report/Report.h"
#include "server/ClientInterface.h"
#include "support/WindowFixture.h"
#include "ui/ControlIds.h"
#include "ui/Sound.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <utility>
#include <vector>

namespace {

using Settings = std::vector<std::pair<const char*, const char*>>;

class OptionsTest : public ::testing::Test, protected WindowFixture {
protected:
    static void store(const Settings& settings)
    {
        for (const auto& [key, value] : settings)
            setting("settings", key, value);
    }
    std::string comboText(int id) const
    {
        const auto* c = window.findControl(id);
        return c->selected < 0 ? "<none>" : c->items[static_cast<std::size_t>(c->selected)];
    }
};

struct LoadCase {
    const char* name;
    Settings stored;
    std::vector<bool> checks; // 201, 202, 203, 205, 207
    const char* fuel;
    const char* autosave;
    const char* bridge;
    const char* server;
    const char* logLine;
};

const LoadCase kLoads[] = {
    {"FirstStart",
     {},
     {false, true, false, false, false},
     "Standard",
     "None",
     "Automatic",
     "https://api.quenvale.example",
     "Settings loaded: autologin=0 tracker=1 fsmessages=0 fuelmethod=0"},
    {"AllSet",
     {{"AutoLogin", "1"},
      {"Tracker", "0"},
      {"FSMessages", "1"},
      {"SimpleFuel", "2"},
      {"Sound", "1"},
      {"PenaltiesOff", "1"},
      {"EnableAutosave", "1"},
      {"FSInterface", "FSUIPC"},
      {"AltServer", "1"}},
     {true, false, true, true, true},
     "Read Only",
     "QVL Data only",
     "FSUIPC",
     "https://relay.quenvale.example",
     "Settings loaded: autologin=1 tracker=0 fsmessages=1 fuelmethod=2"},
    {"InterfaceInLowerCase",
     {{"SimpleFuel", "1"}, {"EnableAutosave", "2"}, {"FSInterface", "fsuipc"}, {"AltServer", "2"}},
     {false, true, false, false, false},
     "Simple",
     "Flight + Data",
     "Automatic",
     "http://relay.quenvale.example",
     "Settings loaded: autologin=0 tracker=1 fsmessages=0 fuelmethod=1"},
    // A flag counts only as exactly 1; a method beyond the list reads as the first.
    {"OddValues",
     {{"Sound", "2"}, {"Tracker", "yes"}, {"SimpleFuel", "7"}, {"EnableAutosave", "-1"}, {"FSInterface", "SimConnect"}},
     {false, false, false, false, false},
     "Standard",
     "None",
     "SimConnect",
     "https://api.quenvale.example",
     "Settings loaded: autologin=0 tracker=0 fsmessages=0 fuelmethod=0"},
};

class OptionsLoadTest : public OptionsTest, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(OptionsLoadTest, FillsTheFieldsAndTheOptionsPage)
{
    const LoadCase& c = GetParam();
    store(c.stored);
    setting("login", "User", "pilot@example.org");
    setting("login", "Password", "plain");
    open();

    const int ids[] = {IdCheckAutoLogin, IdCheckTracker, IdCheckFsMessages, IdCheckSound, IdCheckPenaltiesOff};
    for (std::size_t i = 0; i < c.checks.size(); ++i)
        EXPECT_EQ(window.getCheck(ids[i]), c.checks[i]) << "check box " << ids[i];
    EXPECT_EQ(comboText(IdComboFuelMethod), c.fuel);
    EXPECT_EQ(comboText(IdComboAutosave), c.autosave);
    EXPECT_EQ(comboText(IdComboInterface), c.bridge);
    EXPECT_EQ(ui->getSound().isEnabled(), c.checks[3]);
    EXPECT_EQ(sim->textOutput, c.checks[2]);
    EXPECT_EQ(ui->getReport().isTrackerEnabled(), c.checks[1]);
    EXPECT_EQ(ui->getClient().getServerUrl(), c.server);
    EXPECT_EQ(window.getControlText(IdEditUser), "pilot@example.org");
    EXPECT_EQ(window.getControlText(IdEditPassword), "plain") << "the plain password serves when none is scrambled";
    EXPECT_EQ(logs.count(c.logLine), 1);
    EXPECT_EQ(ui->getPage(), PageLogin);
}

INSTANTIATE_TEST_SUITE_P(Stored, OptionsLoadTest, ::testing::ValuesIn(kLoads),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(OptionsTest, ScrambledPasswordWinsOverThePlainOne)
{
    setting("login", "Password", "depricated");
    setting("login", "PasswordCrypt", CPasswordScrambler::scramble("s3cret"));
    open();
    EXPECT_EQ(window.getControlText(IdEditPassword), "s3cret");
}

TEST_F(OptionsTest, SaveWritesTheKeysInOrderAndGoesHome)
{
    open();
    ui->SetPage(PageOptions);
    window.setCheck(IdCheckAutoLogin, true);
    window.setCheck(IdCheckTracker, false);
    window.setCheck(IdCheckFsMessages, true);
    window.setCheck(IdCheckSound, false);
    window.setCheck(IdCheckPenaltiesOff, true);
    ASSERT_TRUE(window.selectComboText(IdComboFuelMethod, "Read Only"));
    ASSERT_TRUE(window.selectComboText(IdComboAutosave, "Flight + Data"));
    ASSERT_TRUE(window.selectComboText(IdComboInterface, "SimConnect"));
    ASSERT_TRUE(window.click(IdSaveChanges));

    EXPECT_EQ(ui->getPage(), PageHome);
    EXPECT_TRUE(logs.contains("Settings saved: autologin=1 tracker=0 fsmessages=1 fuel_mode=2 penaltiesoff=1 "
                              "enableautosave=2"));
    EXPECT_TRUE(logs.contains("Sound disabled."));
    EXPECT_FALSE(ui->getSound().isEnabled());
    EXPECT_TRUE(sim->textOutput);
    EXPECT_FALSE(ui->getReport().isTrackerEnabled());
    EXPECT_EQ(ui->fuelMethod, 2);
    EXPECT_EQ(ui->autosaveMode, 2);

    // On disk at once, in the order the page writes them.
    std::ifstream in(CIniParser::getInstance().getSettingsPath());
    std::ostringstream text;
    text << in.rdbuf();
    const std::string file = text.str();
    std::size_t at = 0;
    for (const char* line : {"AutoLogin = 1", "Tracker = 0", "FSMessages = 1", "SimpleFuel = 2", "Sound = 0",
                             "PenaltiesOff = 1", "EnableAutosave = 2", "FSInterface = SimConnect"}) {
        const std::size_t found = file.find(line);
        ASSERT_NE(found, std::string::npos) << line << " in\n" << file;
        EXPECT_GE(found, at) << line;
        at = found;
    }
}

} // namespace
