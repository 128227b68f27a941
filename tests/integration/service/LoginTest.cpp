// The pilot's login from the window against a real qvl-service over TLS: the
// version check, wrong passwords, the display unit, the page after login and
// what is stored.
#include "ServiceSuite.h"

#include "report/IniParser.h"
#include "report/PasswordScrambler.h"
#include "support/WindowFixture.h"
#include "ui/ControlIds.h"

namespace {

class LoginTest : public ServiceSuite {
protected:
    void SetUp() override
    {
        ServiceSuite::SetUp();
        ASSERT_TRUE(store->seedDemo());
        w = std::make_unique<WindowFixture>();
        setting("server", "Url", service->url());
        setting("server", "CAFile", service->caFile());
        setting("settings", "Sound", "1");
        setting("login", "User", "demo");
        setting("login", "PasswordCrypt", CPasswordScrambler::scramble("demo123"));
    }
    void TearDown() override { w.reset(); }
    static void setting(const std::string& section, const std::string& key, const std::string& value)
    {
        WindowFixture::setting(section, key, value);
    }
    void versions(const std::string& current, const std::string& beta)
    {
        ASSERT_TRUE(store->exec("UPDATE settings SET value=? WHERE key='Version'", {current}));
        ASSERT_TRUE(store->exec("UPDATE settings SET value=? WHERE key='BetaVersion'", {beta}));
    }
    void open() { w->open(); }
    void pressLogin() { ASSERT_TRUE(w->window.click(IdLogin)); }
    int errorSounds() const { return w->played("sound/snd_error.wav"); }
    CUserInterface& ui() { return *w->ui; }
    HeadlessWindow& window() { return w->window; }

    std::unique_ptr<WindowFixture> w;
};

struct VersionCase {
    const char* name;
    const char* current;
    const char* beta;
    int page;
};

class LoginVersionTest : public LoginTest, public ::testing::WithParamInterface<VersionCase> {};

TEST_P(LoginVersionTest, OnlyAClientOlderThanTheBetaIsStopped)
{
    const VersionCase& c = GetParam();
    versions(c.current, c.beta);
    open();
    pressLogin();
    EXPECT_EQ(ui().getPage(), c.page);
    EXPECT_EQ(ui().loggedIn, c.page != PageWrongVersion);
    const std::string wrong = std::string("Wrong client version! Used: v2.6.1.0 Current:") + c.current;
    EXPECT_EQ(w->logs.contains(wrong), c.page == PageWrongVersion);
    EXPECT_TRUE(window().boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Versions, LoginVersionTest,
                         ::testing::Values(VersionCase{"Equal", "v2.6.1.0", "v2.9.0.0", PageHome},
                                           VersionCase{"NewerWithOlderBeta", "v2.6.2.0", "v2.6.0.9", PageHome},
                                           VersionCase{"NewerWithOwnBeta", "v2.6.2.0", "v2.6.1.0", PageHome},
                                           VersionCase{"NewerBeta", "v2.6.2.0", "v2.6.2.0", PageWrongVersion},
                                           VersionCase{"EmptyBeta", "v2.7.0.0", "", PageHome}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LoginTest, AutomaticLoginWithAWrongStoredPasswordStaysOnTheLoginPage)
{
    setting("settings", "AutoLogin", "1");
    setting("login", "PasswordCrypt", CPasswordScrambler::scramble("wrong"));
    open();
    EXPECT_EQ(ui().getPage(), PageLogin);
    EXPECT_TRUE(window().findControl(IdLogin)->highlighted);
    EXPECT_TRUE(window().isControlVisible(IdEditPassword));
    EXPECT_EQ(errorSounds(), 1);
    EXPECT_EQ(w->logs.count("Could not log in. Wrong username or password. (demo)"), 1);
    EXPECT_FALSE(ui().loggedIn);

    // The pilot corrects the password: the highlight goes, the login is stored.
    window().setControlText(IdEditPassword, "demo123");
    pressLogin();
    EXPECT_EQ(ui().getPage(), PageHome);
    EXPECT_FALSE(window().findControl(IdLogin)->highlighted);
    EXPECT_EQ(CIniParser::getInstance().readConfigString("login", "Password"), "depricated");
    EXPECT_EQ(CIniParser::getInstance().readLoginPassword(), "demo123");
    EXPECT_TRUE(w->sim->connect()) << "the simulator is connected at login";
    EXPECT_STREQ(ui().getClient().news.Header, "Welcome to Quenvale");
}

TEST_F(LoginTest, ServiceDownShowsTheConnectionBox)
{
    open();
    ASSERT_TRUE(service->setFault("refuse"));
    ASSERT_TRUE(service->waitRefusing(5000));
    pressLogin();
    service->setFault("none");
    ASSERT_TRUE(service->waitListening(5000));
    ASSERT_EQ(window().boxes.size(), 1u);
    EXPECT_EQ(window().boxes[0].title, "Connection failed!");
    EXPECT_EQ(window().boxes[0].text,
              "It looks like you are either not connected to the internet or\nour homepage is currently down!");
    EXPECT_EQ(window().boxes[0].icon, MessageBoxIcon::Warning);
    EXPECT_TRUE(w->logs.contains("Could not log in. No connection to the database."));
    EXPECT_TRUE(window().findControl(IdLogin)->highlighted);
    EXPECT_EQ(errorSounds(), 1);
    EXPECT_EQ(ui().getPage(), PageLogin);
}

struct LandingCase {
    const char* name;
    const char* weightUnit;
    const char* continueFlag;
    const char* backupFlag;
    int page;
    int unit;
};

class LoginLandingTest : public LoginTest, public ::testing::WithParamInterface<LandingCase> {};

TEST_P(LoginLandingTest, PageAndUnitFollowTheStoreAndThePilot)
{
    const LandingCase& c = GetParam();
    ASSERT_TRUE(store->exec("UPDATE pilots SET weightunit=? WHERE pilot_id=1001", {std::string(c.weightUnit)}));
    setting("report", "Continue", c.continueFlag);
    setting("report", "Backup", c.backupFlag);
    open();
    pressLogin();
    EXPECT_EQ(ui().getPage(), c.page);
    EXPECT_EQ(ui().weightUnit, c.unit);
}

INSTANTIATE_TEST_SUITE_P(Landing, LoginLandingTest,
                         ::testing::Values(LandingCase{"Nothing", "kg", "0", "0", PageHome, WeightUnitKg},
                                           LandingCase{"Pounds", "lbs", "0", "0", PageHome, WeightUnitLbs},
                                           LandingCase{"Backup", "kg", "0", "1", PageReportBackup, WeightUnitKg},
                                           LandingCase{"Autosave", "lbs", "1", "0", PageAbortedFlight, WeightUnitLbs},
                                           LandingCase{"AutosaveBeforeBackup", "kg", "1", "1", PageAbortedFlight,
                                                       WeightUnitKg}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
