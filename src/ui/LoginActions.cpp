// CLoginActions: options in and out of the settings file, and the login.
#include "ui/LoginActions.h"

#include "core/FixedText.h"
#include "core/Version.h"
#include "report/IniParser.h"
#include "report/Report.h"
#include "report/StoredSettings.h"
#include "server/ClientInterface.h"
#include "server/LegacyResult.h"
#include "server/ServerSettings.h"
#include "sim/FlightSimulatorInterface.h"
#include "ui/ActionHost.h"
#include "ui/ControlIds.h"
#include "ui/Sound.h"

#include <vector>

namespace {

const std::vector<std::string> kFuelMethods = {"Standard", "Simple", "Read Only"};
const std::vector<std::string> kAutosaveModes = {"None", "QVL Data only", "Flight + Data"};
const std::vector<std::string> kInterfaces = {"Automatic", "SimConnect", "FSUIPC", "X-Plane", "FlightGear"};

constexpr const char* kSettings = "settings";

// A stored choice outside its list reads as the first item, as the combo box shows it.
int choiceIndex(int value, const std::vector<std::string>& items)
{
    return value >= 0 && value < static_cast<int>(items.size()) ? value : 0;
}

// The position of the combo's text in the list; anything else is 0.
int indexOfText(const std::string& text, const std::vector<std::string>& items)
{
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i] == text)
            return static_cast<int>(i);
    }
    return 0;
}

const char* flag(bool on)
{
    return on ? "1" : "0";
}

} // namespace

CLoginActions::CLoginActions(CActionHost& userInterface) : ui(userInterface), log("CUserInterface", CDebugLog::Quiet{})
{
}

void CLoginActions::loadSettings()
{
    CIniParser& ini = CIniParser::getInstance();
    const std::string user = ini.readConfigString("login", "User");
    const std::string password = ini.readLoginPassword();
    ui.autoLogin = ini.readConfigFlag(kSettings, "AutoLogin");
    ui.trackerOn = ini.readConfigFlagDefaultOn(kSettings, "Tracker");
    ui.fsMessages = ini.readConfigFlag(kSettings, "FSMessages");
    const int storedFuelMethod = ini.readConfigInt(kSettings, "SimpleFuel");
    ui.soundOn = ini.readConfigFlag(kSettings, "Sound");
    ui.penaltiesOff = ini.readConfigFlag(kSettings, "PenaltiesOff");
    const int storedAutosave = ini.readConfigInt(kSettings, "EnableAutosave");
    const int altServer = ini.readConfigInt(kSettings, "AltServer");
    ui.showToggleLightBtn = ini.readConfigFlag(kSettings, "ShowToggleLightBtn");

    // The field follows what the combo box can show, so both tell the same method.
    ui.fuelMethod = choiceIndex(storedFuelMethod, kFuelMethods);
    ui.autosaveMode = choiceIndex(storedAutosave, kAutosaveModes);
    if (ui.fuelMethod != storedFuelMethod || ui.autosaveMode != storedAutosave)
        log.warnf("Stored option out of range: SimpleFuel=%d EnableAutosave=%d", storedFuelMethod, storedAutosave);

    ui.setText(IdEditUser, user);
    ui.setText(IdEditPassword, password);
    ui.setCheck(IdCheckAutoLogin, ui.autoLogin);
    ui.setCheck(IdCheckTracker, ui.trackerOn);
    ui.setCheck(IdCheckFsMessages, ui.fsMessages);
    ui.setCheck(IdCheckSound, ui.soundOn);
    ui.setCheck(IdCheckPenaltiesOff, ui.penaltiesOff);
    ui.fillCombo(IdComboFuelMethod, kFuelMethods, kFuelMethods[static_cast<std::size_t>(ui.fuelMethod)]);
    ui.fillCombo(IdComboAutosave, kAutosaveModes, kAutosaveModes[static_cast<std::size_t>(ui.autosaveMode)]);
    if (ui.soundOn)
        ui.getSound().enable();
    else
        ui.getSound().disable();
    ui.getClient().applyServerSettings(CStoredSettings::server(), altServer);
    ui.fillCombo(IdComboInterface, kInterfaces, ini.readConfigString(kSettings, "FSInterface"));

    log.debug(std::string("Settings loaded: autologin=") + flag(ui.autoLogin) + " tracker=" + flag(ui.trackerOn) +
              " fsmessages=" + flag(ui.fsMessages) + " fuelmethod=" + std::to_string(ui.fuelMethod));
    if (CFlightSimulatorInterface* sim = ui.getSimulator())
        sim->setTextOutput(ui.fsMessages);
    ui.getReport().setTrackerEnabled(ui.trackerOn);
}

void CLoginActions::saveSettings()
{
    ui.autoLogin = ui.getCheck(IdCheckAutoLogin);
    ui.trackerOn = ui.getCheck(IdCheckTracker);
    ui.fsMessages = ui.getCheck(IdCheckFsMessages);
    ui.penaltiesOff = ui.getCheck(IdCheckPenaltiesOff);
    ui.fuelMethod = indexOfText(ui.getComboText(IdComboFuelMethod), kFuelMethods);
    ui.autosaveMode = indexOfText(ui.getComboText(IdComboAutosave), kAutosaveModes);
    ui.soundOn = ui.getCheck(IdCheckSound);
    if (ui.soundOn)
        ui.getSound().enable();
    else
        ui.getSound().disable();
    if (CFlightSimulatorInterface* sim = ui.getSimulator())
        sim->setTextOutput(ui.fsMessages);
    ui.getReport().setTrackerEnabled(ui.trackerOn);

    CIniParser& ini = CIniParser::getInstance();
    ini.writeConfigString(kSettings, "AutoLogin", flag(ui.autoLogin));
    ini.writeConfigString(kSettings, "Tracker", flag(ui.trackerOn));
    ini.writeConfigString(kSettings, "FSMessages", flag(ui.fsMessages));
    ini.writeConfigString(kSettings, "SimpleFuel", std::to_string(ui.fuelMethod));
    ini.writeConfigString(kSettings, "Sound", flag(ui.soundOn));
    ini.writeConfigString(kSettings, "PenaltiesOff", flag(ui.penaltiesOff));
    ini.writeConfigString(kSettings, "EnableAutosave", std::to_string(ui.autosaveMode));
    ini.writeConfigString(kSettings, "FSInterface", ui.getComboText(IdComboInterface));
    if (!ini.save())
        log.error("Could not save the settings: " + ini.getLastError());

    log.debug(std::string("Settings saved: autologin=") + flag(ui.autoLogin) + " tracker=" + flag(ui.trackerOn) +
              " fsmessages=" + flag(ui.fsMessages) + " fuel_mode=" + std::to_string(ui.fuelMethod) +
              " penaltiesoff=" + flag(ui.penaltiesOff) + " enableautosave=" + std::to_string(ui.autosaveMode));
    ui.SetPage(PageHome);
}

bool CLoginActions::login()
{
    CClientInterface& client = ui.getClient();
    if (client.getVersion() != LegacySuccess) {
        log.debug("Could not log in. No connection to the database.");
        loginFailed();
        ui.getWindow().messageBox("It looks like you are either not connected to the internet or\n"
                                  "our homepage is currently down!",
                                  "Connection failed!", MessageBoxButtons::Ok, MessageBoxIcon::Warning);
        return false;
    }
    if (!checkVersion())
        return false;

    const std::string typedUser = ui.getText(IdEditUser);
    const std::string typedPassword = ui.getText(IdEditPassword);
    const std::string user = cutUtf8(typedUser, kMaxLoginText);
    const std::string password = cutUtf8(typedPassword, kMaxLoginText);
    if (client.login(user, password) != 0 || client.getPilotData() < 0) {
        log.debug("Could not log in. Wrong username or password. (" + typedUser + ")");
        loginFailed();
        return false;
    }

    ui.setHighlighted(IdLogin, false);
    ui.Redraw();
    ui.loggedIn = true;
    if (CFlightSimulatorInterface* sim = ui.getSimulator())
        sim->connect();
    client.getNews();
    CIniParser::getInstance().writeLogin(typedUser, typedPassword);
    // What an uploaded report still owes the service goes first.
    if (ui.getReport().hasPendingLogs())
        ui.getReport().sendPendingLogsFromStore();
    if (fieldText(client.pilot.weightunit) == "lbs")
        ui.weightUnit = WeightUnitLbs;
    ui.SetPage(landingPage());
    ui.Redraw();
    return true;
}

bool CLoginActions::checkVersion()
{
    const CClientInterface& client = ui.getClient();
    const std::string own = kClientVersion;
    const std::string current = fieldText(client.versions[CClientInterface::VersionClient]);
    if (own == current)
        return true;
    // Byte order: a client at or past the beta may go on.
    if (own.compare(fieldText(client.versions[CClientInterface::VersionBeta])) >= 0)
        return true;
    log.debug(std::string("Wrong client version! Used: ") + kClientVersion + " Current:" + current);
    ui.SetPage(PageWrongVersion);
    return false;
}

void CLoginActions::loginFailed()
{
    ui.setHighlighted(IdLogin, true);
    ui.Redraw();
    ui.getSound().play(2);
}

CLoginActions::StoredFlight CLoginActions::storedFlight() const
{
    // A report held in memory is newer than any autosave left on disk, and
    // only "Upload" keeps it.
    if (ui.getReport().isHeldInMemory())
        return StoredFlight::Backup;
    if (ui.getReport().hasContinue())
        return StoredFlight::Continue;
    if (ui.getReport().hasBackup())
        return StoredFlight::Backup;
    return StoredFlight::None;
}

int CLoginActions::landingPage() const
{
    switch (storedFlight()) {
    case StoredFlight::Continue:
        return PageAbortedFlight;
    case StoredFlight::Backup:
        return PageReportBackup;
    default:
        return PageHome;
    }
}

std::string CLoginActions::cutUtf8(const std::string& text, std::size_t limit)
{
    if (text.size() <= limit)
        return text;
    std::size_t end = limit;
    // Step back over continuation bytes so the cut falls between characters.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return text.substr(0, end);
}
