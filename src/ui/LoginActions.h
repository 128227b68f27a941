// The login and options actions: the stored options into the options page at
// start, "Login" (version check, login, pilot record, landing page) and
// "Save changes".
#pragma once

#include "core/DebugLog.h"

#include <string>

class CActionHost;

class CLoginActions {
public:
    explicit CLoginActions(CActionHost& ui);

    // Reads the options from the settings file into the fields and the controls.
    void loadSettings();
    // "Save changes": the controls into the options and the settings file; page 1.
    void saveSettings();
    // "Login": true once the pilot is logged in (also after a wrong version's page 10: false).
    bool login();

    // What the report store holds, by the settings flags.
    enum class StoredFlight { None, Backup, Continue };
    StoredFlight storedFlight() const;

    // Longest user name or password taken from the fields, in bytes.
    static constexpr std::size_t kMaxLoginText = 511;
    // The first `limit` bytes of UTF-8 text, never ending inside a character.
    static std::string cutUtf8(const std::string& text, std::size_t limit);

private:
    bool checkVersion();
    void loginFailed();
    int landingPage() const;

    CActionHost& ui;
    CDebugLog log;
};
