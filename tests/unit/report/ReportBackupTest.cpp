// The flight backup in the report store: what is saved comes back whole and in
// order, the check code refuses a changed store, and a backup write cut short
// between its two files still leaves a pair that belongs together.
#include "core/FixedText.h"
#include "monitor/blackbox/Blackbox.h"
#include "platform/DurableFiles.h"
#include "report/Report.h"
#include "report/ReportCheckCode.h"
#include "server/ClientInterface.h"
#include "support/FlightFixture.h"
#include "support/ScriptedService.h"
#include "support/StoreFiles.h"
#include "ui/ControlIds.h"
#include "ui/LoginActions.h"

#include "ui/ControlIds.h"
#include "ui/LoginActions.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <system_error>

namespace {

struct DigestCase {
    const char* digest;
    const char* code;
};

class CheckCodeTest : public ::testing::TestWithParam<DigestCase> {};

TEST_P(CheckCodeTest, DigitsThreeAndTenAsHexOfTheirCharacterCodes)
{
    EXPECT_EQ(CReportCheckCode::fromDigest(GetParam().digest), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(Table, CheckCodeTest,
                         ::testing::Values(DigestCase{"012a4567897bcdef0123456789abcdef", "763"},
                                           DigestCase{"0000000000f000000000000000000000", "636"},
                                           DigestCase{"1239abcdefb000000000000000000000", "236"},
                                           DigestCase{"too short", ""}));

TEST(CheckCode, OfAFileHashesItsBytes)
{
    // MD5 of nothing is d41d8cd98f00b204e9800998ecf8427e: 'd' and '0'.
    const std::string path = CIniParser::getInstance().getReportPath() + ".empty";
    writeWholeFile(path, "");
    EXPECT_EQ(CReportCheckCode::ofFile(path), "063");
    std::filesystem::remove(path);
    EXPECT_EQ(CReportCheckCode::ofFile(path), "") << "an unreadable file has no code";
}

class BackupTest : public ::testing::Test {
protected:
    BackupTest()
    {
        startWithEmptyStore();
        f.startFlying();
        f.sim->holdSnapshot = true;
        report().setTrackerEnabled(false);
    }
    ~BackupTest() override { startWithEmptyStore(); }

    CReport& report() { return f.ui->getReport(); }
    CClientInterface& client() { return f.ui->getClient(); }
    CIniParser& store() { return CIniParser::getInstance(); }

    FlightFixture f;

    // A flight under way: seven queued positions, events, an item, records.
    void fly()
    {
        f.sim->dLatitude = 50.5;
        f.sim->dLongitude = 4.25;
        f.sim->lGroundAltitude = 120;
        f.sim->lRadarAltitude = 2500;
        f.sim->lGroundSpeed = 310;
        copyText(client().flightLog.l_ID, "991");
        copyText(client().pilot.pilot_id, "1001");
        copyText(client().report.Pilot_ID, "1001");
        const char* events[] = {"Gear up", "Flaps retracted", "Landing Lights off"};
        for (int i = 0; i < 7; ++i) {
            f.sim->dFlightTime += 180;
            report().recordPosition();
            if (i < 3)
                f.ui->getBlackbox().logEvent(events[i], "");
        }
        report().addPenalty(ItemLowAltitude);
    }
};

template <class T> bool sameBytes(const std::vector<T>& a, const std::vector<T>& b)
{
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0);
}

TEST_F(BackupTest, SavedFlightComesBackWholeAndInOrder)
{
    fly();
    const auto positions = report().getPositionTracker().getQueue();
    const auto events = f.ui->getBlackbox().getEventLog();
    ASSERT_EQ(positions.size(), 7u);
    ASSERT_EQ(events.size(), 4u); // three switches and the item
    ASSERT_TRUE(report().saveBackup(true));
    EXPECT_EQ(store().readConfigString("report", "Continue"), "1");
    EXPECT_EQ(store().readConfigString("report", "Backup"), "0");
    EXPECT_EQ(store().readConfigString("report", "Code"), report().computeCheckCode());
    EXPECT_TRUE(f.logs.contains("Report-Backup has been created."));
    const std::string file = readWholeFile(store().getReportPath());
    EXPECT_NE(file.find("numpositionlogs = 7"), std::string::npos);
    EXPECT_NE(file.find("positiondata6 = "), std::string::npos);
    EXPECT_EQ(file.find("positiondata7"), std::string::npos);
    EXPECT_NE(file.find("numeventlogs = 4"), std::string::npos);

    // The next start, with another login.
    f.ui->ResetFlight();
    copyText(client().pilot.pilot_id, "2002");
    CIniParser::destroyInstance();
    ASSERT_TRUE(report().loadBackup());
    EXPECT_TRUE(sameBytes(report().getPositionTracker().getQueue(), positions));
    EXPECT_TRUE(sameBytes(f.ui->getBlackbox().getEventLog(), events));
    EXPECT_EQ(report().getPositionTracker().getPendingPositions(), 7) << "numbering goes on after the queue";
    EXPECT_TRUE(report().hasPenalty(ItemLowAltitude));
    EXPECT_STREQ(client().flightLog.l_ID, "991");
    EXPECT_STREQ(client().pilot.pilot_id, "2002") << "the pilot of the current login stays";
    EXPECT_DOUBLE_EQ(f.sim->dLatitude, 50.5);
    EXPECT_DOUBLE_EQ(f.sim->dStartLatitude, 50.5);
    EXPECT_DOUBLE_EQ(f.sim->dLastAltitude, 2620.0);
    EXPECT_TRUE(f.logs.contains("Critical Backup Data: Tervix_Pilots.ID=2002"));
    EXPECT_TRUE(f.logs.contains("Report-Backup has been loaded."));

    // Everything acknowledged before the next autosave: a continued flight
    // still numbers its positions and events on.
    while (!report().getPositionTracker().getQueue().empty())
        report().getPositionTracker().dropFirstQueued();
    f.ui->getBlackbox().getFlightEvents().dropFirstEvent();
    ASSERT_TRUE(report().saveBackup(true));
    f.ui->ResetFlight();
    CIniParser::destroyInstance();
    ASSERT_TRUE(report().loadBackup());
    EXPECT_EQ(report().getPositionTracker().getPendingPositions(), 7);
    EXPECT_EQ(f.ui->getBlackbox().getFlightEvents().getEventsSent(), 1);
}

// Changes one byte of a record value so that the file's code changes.
bool tamper(const std::string& path, const std::string& code)
{
    const std::string original = readWholeFile(path);
    for (std::size_t at = original.find("Tervix_Reports = ") + 20; at < original.size(); ++at) {
        std::string changed = original;
        changed[at] = changed[at] == 'A' ? 'B' : 'A';
        writeWholeFile(path, changed);
        if (CReportCheckCode::ofFile(path) != code)
            return true;
    }
    return false;
}

TEST_F(BackupTest, OneChangedByteIsRefusedAndTheRestorePathsSayModified)
{
    fly();
    ASSERT_TRUE(report().saveBackup(true));
    ASSERT_TRUE(tamper(store().getReportPath(), report().getCheckCode()));
    f.ui->ResetFlight();
    EXPECT_FALSE(report().loadBackup());
    EXPECT_TRUE(f.logs.contains("Report-Backup could not be loaded. Wrong code!"));
    EXPECT_TRUE(report().getPositionTracker().getQueue().empty()) << "nothing is loaded";

    EXPECT_FALSE(f.ui->continueFlight());
    ASSERT_EQ(f.window.boxes.size(), 1u);
    EXPECT_EQ(f.window.boxes[0].title, "Report has been modified!");
    EXPECT_TRUE(report().hasContinue()) << "an aborted flight's autosave stays";

    ASSERT_TRUE(report().saveBackup(false));
    ASSERT_TRUE(tamper(store().getReportPath(), report().getCheckCode()));
    f.ui->OnButton(IdUploadReport);
    ASSERT_EQ(f.window.boxes.size(), 2u);
    EXPECT_EQ(f.window.boxes[1].text,
              "It looks like the saved report has been illegally modified.\nThe report was not uploaded! \n");
    EXPECT_TRUE(report().hasBackup()) << "\"Upload Report\" keeps a changed backup";
    EXPECT_EQ(f.ui->getPage(), PageReportBackup);

    EXPECT_FALSE(f.ui->restoreForUpload());
    ASSERT_EQ(f.window.boxes.size(), 3u);
    EXPECT_EQ(f.window.boxes[2].title, "Report has been modified!");
    EXPECT_EQ(f.window.boxes[2].text,
              "It looks like the saved report has been illegally modified.\nThe report was not reloaded! \n");
    EXPECT_TRUE(f.logs.contains("Backed up report could not be re-loaded. Report has been illegally modified."));
    EXPECT_FALSE(report().hasBackup());
    EXPECT_EQ(store().readConfigString("report", "Code"), "0");
    EXPECT_EQ(std::filesystem::file_size(store().getReportPath()), 0u);
}

// A backup write stopped after its staged store was complete: before the
// settings took the new code, or after; and the older store may even carry
// the same three-character code as the new one.
struct Interruption {
    bool settingsCommitted;
    bool sameCode;
    const char* userName; // the data folder below it, or the usual one
};

// The data folder is chosen before the fixture starts its flight.
struct UserFolder {
    UserFolder()
    {
        if (const char* name = ::testing::WithParamInterface<Interruption>::GetParam().userName)
            scope.emplace(name);
    }
    std::optional<StoreFolderScope> scope;
};

class InterruptedBackupTest : private UserFolder,
                              public BackupTest,
                              public ::testing::WithParamInterface<Interruption> {};

TEST_P(InterruptedBackupTest, NextStartKeepsAPairThatVerifies)
{
    const bool settingsCommitted = GetParam().settingsCommitted;
    const bool sameCode = GetParam().sameCode;
    if (GetParam().userName != nullptr) {
        ASSERT_NE(store().getSettingsPath().find(GetParam().userName), std::string::npos);
    }
    fly();
    copyText(client().flightLog.l_ID, "111");
    ASSERT_TRUE(report().saveBackup(true));
    const std::string oldCode = report().getCheckCode();
    const std::string oldSettings = readWholeFile(store().getSettingsPath());
    const std::string oldReport = readWholeFile(store().getReportPath());
    // A later backup whose code equals the old one (1 in 32), or differs.
    int id = 200;
    do {
        copyText(client().flightLog.l_ID, std::to_string(++id));
        ASSERT_TRUE(report().saveBackup(true));
    } while ((report().getCheckCode() == oldCode) != sameCode && id < 2000);
    ASSERT_EQ(report().getCheckCode() == oldCode, sameCode);
    const std::string newSettings = readWholeFile(store().getSettingsPath());
    const std::string newReport = readWholeFile(store().getReportPath());

    const std::string staged = store().getStagedReportPath();
    const std::string reportPath = store().getReportPath();
    const std::string settingsPath = store().getSettingsPath();
    CIniParser::destroyInstance();
    writeWholeFile(reportPath, oldReport);
    writeWholeFile(staged, newReport);
    writeWholeFile(settingsPath, settingsCommitted ? newSettings : oldSettings);

    EXPECT_TRUE(report().verifyCheckCode());
    EXPECT_FALSE(std::filesystem::exists(utf8Path(staged)));
    ASSERT_TRUE(report().loadBackup());
    EXPECT_EQ(fieldText(client().flightLog.l_ID), settingsCommitted ? std::to_string(id) : "111");
}

INSTANTIATE_TEST_SUITE_P(Moments, InterruptedBackupTest,
                         ::testing::Values(Interruption{false, false, nullptr}, Interruption{true, false, nullptr},
                                           Interruption{false, true, nullptr}, Interruption{true, true, nullptr},
                                           Interruption{true, false, "J\xC3\xB6rg \xC3\x86r\xC3\xB8"}),
                         [](const auto& info) {
                             return std::string(info.param.settingsCommitted ? "SettingsCommitted"
                                                                             : "SettingsNotYetSaved") +
                                    (info.param.sameCode ? "SameCode" : "") +
                                    (info.param.userName != nullptr ? "UnderANonAsciiUserName" : "");
                         });

// A data folder that takes no file (full, or read-only).
class FullDisk final : public DurableFiles {
public:
    std::unique_ptr<DurableFile> create(const std::string&) override
    {
        errno = ENOSPC;
        return nullptr;
    }
    bool replace(const std::string&, const std::string&) override { return false; }
    bool remove(const std::string&) override { return true; }
};

// A report that can be neither sent nor saved is said to the pilot and kept
// in memory, so that "Upload" works once the service is back: a fresh login
// leads to it, not to the flight's last autosave, and Exit asks first.
TEST_F(BackupTest, AReportThatCannotBeSavedIsSaidAndCanStillBeUploaded)
{
    ScriptedService service;
    fly();
    ASSERT_TRUE(report().saveBackup(true)) << "the flight's last autosave";
    service.setRefusing(true);
    FullDisk full;
    setDurableFiles(&full);
    f.ui->SetPage(PageComment);
    f.ui->OnButton(IdEndFlight);
    setDurableFiles(nullptr);
    ASSERT_FALSE(f.window.boxes.empty());
    EXPECT_EQ(f.window.boxes[0].title, "Report not saved!");
    EXPECT_NE(f.window.boxes[0].text.find(std::generic_category().message(ENOSPC)), std::string::npos)
        << f.window.boxes[0].text;
    EXPECT_TRUE(report().hasBackup()) << "the backup page offers the upload";

    service.setRefusing(false);
    EXPECT_EQ(f.ui->getLoginActions().storedFlight(), CLoginActions::StoredFlight::Backup)
        << "the login leads to the upload, not to the autosave";
    f.ui->OnButton(IdFly);
    EXPECT_EQ(f.ui->getPage(), PageReportBackup) << "no new flight over the held report";
    f.window.boxes.clear();
    f.window.answers.push_back(MessageBoxResult::Cancel);
    f.ui->OnButton(IdExit);
    ASSERT_EQ(f.window.boxes.size(), 1u);
    EXPECT_EQ(f.window.boxes[0].title, "Report not saved!");
    EXPECT_FALSE(f.window.isClosed()) << "the pilot chose to stay";

    f.ui->OnButton(IdUploadReport);
    EXPECT_EQ(service.bodies("writereport").size(), 1u);
    EXPECT_EQ(service.bodies("writepositionlog").size(), 7u);
    EXPECT_EQ(service.bodies("writeeventlog").size(), 4u) << "three events and the low-altitude item";
    EXPECT_FALSE(report().hasBackup());
    f.window.boxes.clear();
    f.ui->OnButton(IdExit);
    EXPECT_TRUE(f.window.boxes.empty());
    EXPECT_TRUE(f.window.isClosed());
}

// An autosave that cannot be written tells the pilot once per flight.
TEST_F(BackupTest, AFailingAutosaveSaysSoOncePerFlight)
{
    f.ui->autosaveMode = 1;
    FullDisk full;
    setDurableFiles(&full);
    f.tickFor(3 * 120000 + 500);
    setDurableFiles(nullptr);
    int told = 0;
    for (const std::string& text : f.sim->texts)
        told += text.find("could not be backed up") != std::string::npos ? 1 : 0;
    EXPECT_EQ(told, 1);
    EXPECT_EQ(f.logs.count("Report-Backup could not be written"), 1);
}

} // namespace
