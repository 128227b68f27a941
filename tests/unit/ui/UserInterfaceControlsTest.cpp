// The window's controls: which ones each page shows, the control records'
// reads and writes, and how commands reach the user interface.
#include "core/FixedText.h"
#include "platform/headless/HeadlessWindow.h"
#include "platform/headless/RecordingSoundOutput.h"
#include "server/ClientInterface.h"
#include "support/FlightFixture.h"
#include "ui/ControlIds.h"
#include "ui/LoginActions.h"
#include "ui/UserInterface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace {

// The title-bar buttons and "Exit" are never hidden.
const std::set<int> kAlways = {IdExit, IdClose, IdMinimise, IdHide};

struct PageCase {
    const char* name;
    int page;
    const char* pilotStatus;
    bool toggleLights;
    bool offerPackages;
    std::set<int> shows; // besides kAlways
};

const std::set<int> kHome = {IdHome, IdOptions, IdFlightInformation, IdFly};
const std::set<int> kOptions = {IdHome,         IdOptions,           IdFlightInformation, IdFly,
                                IdSaveChanges,  IdCheckAutoLogin,    IdCheckTracker,      IdCheckFsMessages,
                                IdCheckSound,   IdCheckPenaltiesOff, IdComboInterface,    IdComboFuelMethod,
                                IdComboAutosave};
const std::set<int> kTanks = {IdFuelUp,         IdLoadInitialFuel, IdBackFromTanks, IdTankMainLeft, IdTankMainRight,
                              IdTankMainCenter, IdTankAuxLeft,     IdTankAuxRight,  IdTankTipLeft,  IdTankTipRight,
                              IdTankCenter2,    IdTankCenter3,     IdTankExternal1, IdTankExternal2};

const PageCase kPages[] = {
    {"Login", PageLogin, "1", false, false, {IdLogin, IdEditUser, IdEditPassword}},
    {"Home", PageHome, "1", false, false, kHome},
    {"HomeSuspended", PageHome, "2", false, false, {IdHome, IdOptions}},
    {"HomeBlocked", PageHome, "3", false, false, {IdHome, IdOptions}},
    {"FlightInformation", PageFlightInformation, "0", false, false, kHome},
    {"Checklist", PageChecklist, "1", false, false, kHome},
    {"FuelError", PageFuelError, "1", false, false, kHome},
    {"Options", PageOptions, "1", false, false, kOptions},
    {"Flying", PageFlying, "1", false, false, {IdDivert, IdHighSpeedApproved}},
    {"FlyingAsksForTheLightButton", PageFlying, "1", true, false, {IdDivert, IdHighSpeedApproved}},
    {"ReportRoute", PageReportRoute, "1", false, false, {IdNext}},
    {"ReportFinances", PageReportFinances, "1", false, false, {IdNext}},
    {"ReportPenalties", PageReportPenalties, "1", false, false, {IdNext}},
    {"WrongVersion", PageWrongVersion, "1", false, false, {IdUpdateNow}},
    {"FuelTanks", PageFuelTanks, "1", false, false, kTanks},
    {"ReportBackup", PageReportBackup, "1", false, false, {IdShowReport, IdUploadReport, IdDeleteReport}},
    {"SimpleFuel", PageSimpleFuel, "1", false, false, {IdEditAdditionalFuel, IdFuelUp, IdBackFromSimpleFuel}},
    {"LoadSheet",
     PageLoadSheet,
     "1",
     false,
     false,
     {IdFly, IdBackFromTanks, IdChangePassengers, IdChangeCargo, IdChangeFuel, IdReservePlus, IdReserveMinus}},
    {"Comment", PageComment, "1", false, false, {IdEditComment, IdEndFlight, IdNext}},
    {"CommentWithPackages",
     PageComment,
     "1",
     false,
     true,
     {IdEditComment, IdCheckDeliverPackages, IdEndFlight, IdNext}},
    {"Download", PageDownload, "1", false, false, {IdProgress, IdAbortDownload}},
    {"AbortedFlight", PageAbortedFlight, "1", false, false, {IdContinueFlight, IdDeleteFlight}},
    {"Divert", PageDivert, "1", false, false, {IdConfirmDivert, IdBackFromDivert, IdEditDivertAirport}},
};

class ControlsTest : public ::testing::Test {
protected:
    ControlsTest()
    {
        window.setEvents(&ui);
        ui.createControls();
    }
    std::set<int> visible() const
    {
        const std::vector<int> ids = window.visibleControls();
        return {ids.begin(), ids.end()};
    }
    HeadlessWindow window;
    RecordingSoundOutput sounds;
    RecordingUserInterface ui{window, sounds};
};

class PageControlsTest : public ControlsTest, public ::testing::WithParamInterface<PageCase> {};

TEST_P(PageControlsTest, ShowsExactlyThePagesControls)
{
    const PageCase& c = GetParam();
    copyText(ui.getClient().pilot.va_status, c.pilotStatus);
    ui.showToggleLightBtn = c.toggleLights;
    ui.offerPackages = c.offerPackages;
    // Coming from a page with many controls proves the others are hidden.
    ui.SetPage(PageOptions);
    ui.SetPage(PageFuelTanks);
    window.setCheck(IdCheckDeliverPackages, true);
    ui.SetPage(c.page);
    std::set<int> expected = c.shows;
    expected.insert(kAlways.begin(), kAlways.end());
    EXPECT_EQ(visible(), expected);
    EXPECT_EQ(ui.getPage(), c.page);
    if (c.offerPackages) {
        EXPECT_FALSE(window.getCheck(IdCheckDeliverPackages)) << "the offer starts unchecked";
    }
}

INSTANTIATE_TEST_SUITE_P(Pages, PageControlsTest, ::testing::ValuesIn(kPages),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ControlsTest, CreatedControlsKeepTheirLookAndPlace)
{
    const auto* exit = window.findControl(IdExit);
    ASSERT_NE(exit, nullptr);
    EXPECT_TRUE(exit->highlighted);
    EXPECT_EQ(window.findControl(IdComboInterface)->layout.height, 180);
    EXPECT_TRUE(window.findControl(IdEditPassword)->layout.style & StylePassword);
    EXPECT_TRUE(window.findControl(IdTankMainCenter)->layout.style & StyleDigitsOnly);
    EXPECT_TRUE(window.findControl(IdMinimise)->layout.style & StyleTitleButton);
    EXPECT_EQ(ui.findObject(IdFuelUp)->getGroup(), 11);
    EXPECT_EQ(ui.findObject(IdClose)->getGroup(), 999);
    // Edit fields and the progress bar start hidden, buttons shown.
    EXPECT_FALSE(window.isControlVisible(IdEditComment));
    EXPECT_FALSE(window.isControlVisible(IdProgress));
    EXPECT_TRUE(window.isControlVisible(IdDeleteFlight));
}

TEST_F(ControlsTest, ControlReadsAreBounded)
{
    ControlSpec layout{ControlKind::Edit, 900, std::string(300, 'c'), 0, 0, 10, 10, StyleNone};
    CUserInterfaceObject* field = ui.addObject(layout, 3);
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->getCaption().size(), 255u);
    window.setControlText(900, std::string(4000, 'x'));
    EXPECT_EQ(ui.getText(900).size(), 3199u);

    const char* const zerosThenSeven = "0000000000" "0000000000" "0000000000" "0" "7"; // 31 zeros
    struct NumberCase {
        const char* text;
        int number;
    };
    for (const NumberCase& n : {NumberCase{" 1234kg", 1234},
                                {"-25", -25},
                                {"abc", 0},
                                {"99999999999", 2147483647},
                                {zerosThenSeven, 0}}) {
        window.setControlText(900, n.text);
        EXPECT_EQ(ui.getNumber(900), n.number) << n.text;
    }
    // Only edit fields have text or numbers.
    EXPECT_EQ(ui.getText(IdLogin), "");
    EXPECT_EQ(ui.getNumber(IdLogin), 0);
    EXPECT_EQ(ui.getText(12345), "");
}

TEST_F(ControlsTest, ComboSelectsTheStoredTextOrTheFirst)
{
    ui.fillCombo(IdComboInterface, {"Automatic", "SimConnect", "FSUIPC"}, "FSUIPC");
    EXPECT_EQ(ui.getComboText(IdComboInterface), "FSUIPC");
    ui.fillCombo(IdComboInterface, {"Automatic", "SimConnect", "FSUIPC"}, "fsuipc");
    EXPECT_EQ(ui.getComboText(IdComboInterface), "Automatic");
    ASSERT_TRUE(window.selectComboText(IdComboInterface, "SimConnect"));
    EXPECT_EQ(ui.getComboText(IdComboInterface), "SimConnect");
}

TEST_F(ControlsTest, CommandsOfEnabledControlsClickAndDisabledOnesAreDropped)
{
    ui.SetPage(PageHome);
    ui.setEnabled(IdOptions, false);
    EXPECT_FALSE(window.click(IdOptions));
    ui.onCommand(IdOptions); // a command that slipped through is still dropped
    EXPECT_EQ(ui.getPage(), PageHome);
    EXPECT_TRUE(sounds.played.empty());

    ui.setEnabled(IdOptions, true);
    EXPECT_TRUE(window.click(IdOptions));
    EXPECT_EQ(ui.getPage(), PageOptions);
    EXPECT_EQ(sounds.played, std::vector<std::string>{"sound/snd_btn_click.wav"});

    // Menu commands carry no control: no click.
    ui.onCommand(IdMenuMaximise);
    EXPECT_EQ(window.state, "maximised");
    EXPECT_EQ(sounds.played.size(), 1u);
    EXPECT_EQ(ui.presses(IdMenuMaximise), 1);
}

TEST_F(ControlsTest, TypingRedrawsOnlyWhileThePageAsksForIt)
{
    ui.SetPage(PageAbortedFlight);
    ui.setRedrawOnInput(true);
    const int before = window.wholeWindowInvalidations;
    window.typeText(IdEditDivertAirport, "EDDM");
    EXPECT_EQ(window.wholeWindowInvalidations, before + 1);
    ui.SetPage(PageDivert);
    EXPECT_FALSE(ui.isRedrawOnInput());
    const int after = window.wholeWindowInvalidations;
    window.typeText(IdEditDivertAirport, "EDDN");
    EXPECT_EQ(window.wholeWindowInvalidations, after);
}

TEST_F(ControlsTest, LoadingIsPaintedAtOnceAndOnlyOnce)
{
    window.setEvents(&ui);
    ui.SetPage(PageHome);
    const int paints = window.paints;
    ui.ShowLoading();
    EXPECT_EQ(window.paints, paints + 1);
    EXPECT_FALSE(ui.isLoadingPending()) << "the paint that showed it clears it";
    EXPECT_EQ(ui.getPainter(), nullptr) << "no drawing outside a paint";
}

TEST(LoginTextTest, LongTextsAreCutBetweenCharacters)
{
    const std::string e = "\xC3\xA9"; // two bytes
    std::string accents;
    for (int i = 0; i < 300; ++i)
        accents += e;
    EXPECT_EQ(CLoginActions::cutUtf8(accents, 511).size(), 510u);
    EXPECT_EQ(CLoginActions::cutUtf8("a" + accents, 511).size(), 511u);
    EXPECT_EQ(CLoginActions::cutUtf8(std::string(600, 'x'), 511).size(), 511u);
    EXPECT_EQ(CLoginActions::cutUtf8("pilot", 511), "pilot");
}

} // namespace
