// The settings and report store: defaults, case rules, the record encoding,
// corrupt stores, the password letters and saving.
#include "core/ClientConfig.h"
#include "report/IniParser.h"
#include "report/PasswordScrambler.h"
#include "report/ReportCheckCode.h"
#include "server/EventRecord.h"
#include "server/Records.h"
#include "support/LogCapture.h"
#include "support/SpecialFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <vector>


namespace {

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

std::string logText()
{
    CDebugLog probe("IniParserTestProbe", CDebugLog::Quiet{});
    return readFile(probe.filePath());
}

std::vector<unsigned char> randomBytes(std::size_t n, unsigned seed)
{
    std::mt19937 gen(seed);
    std::vector<unsigned char> v(n);
    for (auto& b : v)
        b = static_cast<unsigned char>(gen());
    return v;
}

class IniParserTest : public ::testing::Test {
protected:
    void SetUp() override { fresh(); }
    void TearDown() override { CIniParser::destroyInstance(); }

    // A first start: no files, no store yet.
    void fresh()
    {
        CIniParser::destroyInstance();
        std::filesystem::remove(settingsPath());
        std::filesystem::remove(reportPath());
    }
    // The next start of the client: the store reads what the last one saved.
    CIniParser& restart()
    {
        CIniParser::destroyInstance();
        return CIniParser::getInstance();
    }
    // A start with files as another program (or a hand edit) left them.
    CIniParser& startWith(const std::string& settingsText, const std::string& reportText)
    {
        CIniParser::destroyInstance();
        writeFile(settingsPath(), settingsText);
        writeFile(reportPath(), reportText);
        return CIniParser::getInstance();
    }
    static std::string settingsPath() { return CClientConfig::getInstance().getSettingsFolder() + "quenvale.ini"; }
    static std::string reportPath()
    {
        return CClientConfig::getInstance().getSettingsFolder() + "quenvale_report2.ini";
    }
    static CIniParser& store() { return CIniParser::getInstance(); }
};

TEST_F(IniParserTest, FirstStartCreatesTwoEmptyFilesAndEveryOptionReadsItsDefault)
{
    const std::string settings = store().getSettingsPath();
    const std::string report = store().getReportPath();
    EXPECT_TRUE(std::filesystem::exists(settings));
    EXPECT_TRUE(std::filesystem::exists(report));
    EXPECT_EQ(std::filesystem::file_size(settings), 0u);
    EXPECT_EQ(std::filesystem::file_size(report), 0u);
    EXPECT_EQ(settings.substr(settings.size() - 12), "quenvale.ini");
    EXPECT_EQ(report.substr(report.size() - 20), "quenvale_report2.ini");

    CIniParser& s = store();
    EXPECT_FALSE(s.readConfigFlag("settings", "AutoLogin"));
    EXPECT_TRUE(s.readConfigFlagDefaultOn("settings", "Tracker"));
    EXPECT_FALSE(s.readConfigFlag("settings", "FSMessages"));
    EXPECT_EQ(s.readConfigInt("settings", "SimpleFuel"), 0);
    EXPECT_FALSE(s.readConfigFlag("settings", "Sound"));
    EXPECT_FALSE(s.readConfigFlag("settings", "PenaltiesOff"));
    EXPECT_EQ(s.readConfigInt("settings", "EnableAutosave"), 0);
    EXPECT_EQ(s.readConfigString("settings", "FSInterface"), "");
    EXPECT_EQ(s.readConfigInt("settings", "AltServer"), 0);
    EXPECT_FALSE(s.readConfigFlag("settings", "ShowToggleLightBtn"));
    EXPECT_EQ(s.readConfigInt("report", "Backup"), 0);
    EXPECT_EQ(s.readConfigInt("report", "Continue"), 0);
    EXPECT_EQ(s.readConfigString("login", "User"), "");
    EXPECT_EQ(s.readLoginPassword(), "");
}

TEST_F(IniParserTest, FlagCountsOnlyWhenExactlyOne)
{
    struct Case {
        const char* value;
        bool set;
    };
    for (const Case& c : {Case{"1", true}, Case{"0", false}, Case{"2", false}, Case{"-1", false}, Case{"yes", false},
                          Case{"", false}}) {
        ASSERT_TRUE(store().writeConfigString("settings", "Tracker", c.value));
        EXPECT_EQ(store().readConfigFlag("settings", "Tracker"), c.set) << c.value;
        EXPECT_EQ(store().readConfigFlagDefaultOn("settings", "Tracker"), c.set) << c.value;
    }
}

TEST_F(IniParserTest, SectionsAndKeysIgnoreLetterCase)
{
    CIniParser& s = startWith("[Settings]\nfsinterface = SimConnect\n", "");
    EXPECT_EQ(s.readConfigString("settings", "FSInterface"), "SimConnect");

    ASSERT_TRUE(s.writeReportString("Report", "AircraftData", "00"));
    ASSERT_TRUE(s.writeReportString("report", "numeventlogs", "3"));
    ASSERT_TRUE(s.save());
    const std::string text = readFile(reportPath());
    EXPECT_EQ(text.find("[report]"), std::string::npos) << text;
    EXPECT_NE(text.find("[Report]"), std::string::npos) << text;
    EXPECT_NE(text.find("numeventlogs = 3"), std::string::npos) << text;
    EXPECT_NE(text.find("AircraftData = 00"), std::string::npos) << text;
}

TEST_F(IniParserTest, RecordIsStoredAsUpperCaseHexPairs)
{
    const unsigned char bytes[4] = {0x01, 0xAB, 0x00, 0xFF};
    ASSERT_TRUE(store().writeReportStruct(bytes, "Report", "Four", sizeof bytes));
    ASSERT_TRUE(store().save());
    EXPECT_NE(readFile(reportPath()).find("Four = 01AB00FF"), std::string::npos);

    unsigned char back[4] = {9, 9, 9, 9};
    ASSERT_TRUE(restart().readReportStruct("Report", "Four", back, sizeof back));
    EXPECT_EQ(std::memcmp(back, bytes, sizeof bytes), 0);
}

TEST_F(IniParserTest, EveryStoredRecordRoundTripsByteForByte)
{
    struct Record {
        const char* key;
        std::size_t size;
    };
    const Record records[] = {
        {"Tervix_Pilots", sizeof(Tervix_Pilots)},     {"Tervix_Routes", sizeof(Tervix_Routes)},
        {"Tervix_Logs", sizeof(Tervix_Logs)},         {"Tervix_Aircrafts", sizeof(Tervix_Aircrafts)},
        {"Tervix_Reports", sizeof(Tervix_Reports)},   {"Tervix_VirtualAirlines", sizeof(Tervix_VirtualAirlines)},
        {"AircraftData", sizeof(AircraftData)},       {"TankData", sizeof(TankData)},
        {"struct_penalty23", sizeof(struct_penalty)}, {"eventdata0", sizeof(CEventRecord)},
        {"positiondata0", sizeof(PositionRecord)},
    };
    unsigned seed = 1;
    for (const Record& r : records)
        ASSERT_TRUE(store().writeReportStruct(randomBytes(r.size, seed++).data(), "Report", r.key, r.size));
    ASSERT_TRUE(store().save());

    CIniParser& again = restart();
    seed = 1;
    for (const Record& r : records) {
        std::vector<unsigned char> back(r.size, 0x5A);
        ASSERT_TRUE(again.readReportStruct("report", r.key, back.data(), r.size)) << r.key;
        EXPECT_EQ(back, randomBytes(r.size, seed++)) << r.key;
    }
}

struct CorruptRecord {
    const char* name;
    std::string value;
    bool readable;
};

class CorruptRecordTest : public IniParserTest, public ::testing::WithParamInterface<CorruptRecord> {};

TEST_P(CorruptRecordTest, BadValueLeavesTheRecordUnchanged)
{
    const CorruptRecord& c = GetParam();
    CIniParser& s = startWith("", "[Report]\nFour = " + c.value + "\n");
    unsigned char rec[4] = {7, 7, 7, 7};
    EXPECT_EQ(s.readReportStruct("Report", "Four", rec, sizeof rec), c.readable);
    const unsigned char expected[4] = {0x01, 0xAB, 0x00, 0xFF};
    const unsigned char untouched[4] = {7, 7, 7, 7};
    EXPECT_EQ(std::memcmp(rec, c.readable ? expected : untouched, 4), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Values, CorruptRecordTest,
    ::testing::Values(CorruptRecord{"Exact", "01AB00FF", true}, CorruptRecord{"LowerCase", "01ab00ff", true},
                      CorruptRecord{"LongerIsCut", "01AB00FF77", true}, CorruptRecord{"Empty", "", false},
                      CorruptRecord{"Short", "01AB", false}, CorruptRecord{"OddLength", "01AB00F", false},
                      CorruptRecord{"NotHexAtEnd", "01AB00FG", false}, CorruptRecord{"Sign", "-1AB00FF", false},
                      CorruptRecord{"Garbage", std::string("\x01\xfe\x7f\x80\xc3\xa9zz", 8), false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(IniParserTest, MissingRecordIsLoggedAndLeftUnchanged)
{
    unsigned char rec[2] = {3, 4};
    EXPECT_FALSE(store().readReportStruct("Report", "Nowhere", rec, sizeof rec));
    EXPECT_EQ(rec[0], 3);
    EXPECT_NE(logText().find("Record missing in report INI-file (Section:Report Key:Nowhere)"), std::string::npos);
}

TEST_F(IniParserTest, CountersMustBeWholeDecimalNumbers)
{
    struct Case {
        const char* text;
        int value;
    };
    const Case cases[] = {{"12", 12},
                          {"-3", -3},
                          {"+7", 7},
                          {"0", 0},
                          {"12abc", 0},
                          {"abc", 0},
                          {"0x10", 0},
                          {"1.5", 0},
                          {"99999999999", 0},
                          {"2147483647", 2147483647},
                          {"-2147483648", INT32_MIN},
                          {"+-1", 0},
                          {"--1", 0}};
    const auto key = [](std::size_t i) { return std::string(1, 'n').append(std::to_string(i)); };
    std::string text = "[report]\n";
    for (std::size_t i = 0; i < std::size(cases); ++i)
        text += key(i) + " = " + cases[i].text + "\n";
    CIniParser& s = startWith("", text);
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(s.readReportInt("report", key(i)), cases[i].value) << cases[i].text;
    EXPECT_NE(logText().find("Not a decimal number in report INI-file, read as 0 (Section:report Key:n4 Value:12abc)"),
              std::string::npos);
}

TEST_F(IniParserTest, BinaryGarbageFileReadsAsEmptyOrPartialWithoutHarm)
{
    std::string garbage;
    for (unsigned char b : randomBytes(4096, 99))
        garbage.push_back(static_cast<char>(b));
    CIniParser& s = startWith(garbage, garbage);
    Tervix_Reports rep{};
    std::memset(&rep, 0x11, sizeof rep);
    s.readReportStruct("Report", "Tervix_Reports", &rep, sizeof rep);
    EXPECT_EQ(reinterpret_cast<unsigned char*>(&rep)[0], 0x11);
    EXPECT_EQ(s.readReportInt("report", "numeventlogs"), 0);
    char user[8] = "xxxxxxx";
    s.readConfigString("login", "User", user);
    EXPECT_LT(std::strlen(user), sizeof user);
}

// A FIFO in place of either file would block the start for ever; it is
// refused with a clear line and the store starts empty.
class SpecialFileTest : public IniParserTest, public ::testing::WithParamInterface<bool> {};

TEST_P(SpecialFileTest, FifoInPlaceOfAFileIsRefusedNotRead)
{
    LogCapture logs;
    CIniParser::destroyInstance();
    const std::string path = GetParam() ? reportPath() : settingsPath();
    std::filesystem::remove(path);
    ASSERT_TRUE(makeSpecialFile(path));
    CIniParser& s = store();
    EXPECT_TRUE(logs.contains("Could not load " + path + ": not a regular file"));
    EXPECT_EQ(CReportCheckCode::ofFile(path), "");
    EXPECT_EQ(s.readConfigInt("report", "Backup"), 0);
    std::filesystem::remove(path);
}

INSTANTIATE_TEST_SUITE_P(Files, SpecialFileTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "ReportStore" : "Settings"; });

TEST_F(IniParserTest, LeftoversOfAnInterruptedSaveAreRemovedAtTheNextStart)
{
    CIniParser::destroyInstance();
    const std::string leftovers[] = {settingsPath() + ".tmp", reportPath() + ".tmp", reportPath() + ".new.tmp"};
    for (const std::string& path : leftovers)
        writeFile(path, "[report]\nBackup = 1\n");
    store();
    for (const std::string& path : leftovers)
        EXPECT_FALSE(std::filesystem::exists(path)) << path;
}

TEST_F(IniParserTest, ReadConfigStringCutsToTheBuffer)
{
    ASSERT_TRUE(store().writeConfigString("login", "User", "a-rather-long-login-name"));
    char small[6];
    store().readConfigString("login", "User", small);
    EXPECT_STREQ(small, "a-rat");
}

TEST_F(IniParserTest, LineBreaksInValuesAreRefusedSoTheyCannotAddKeys)
{
    EXPECT_FALSE(store().writeConfigString("login", "User", "pilot\n[settings]\nAutoLogin = 1"));
    EXPECT_EQ(store().getLastError(), "Could not write string to config INI-file! (Section:login Key:User "
                                      "String:pilot\\x0A[settings]\\x0AAutoLogin = 1)");
    EXPECT_FALSE(store().writeReportString("report", "Code", "a\rb"));
    EXPECT_NE(store().getLastError().find("Could not write string to report INI-file!"), std::string::npos);
    ASSERT_TRUE(store().save());
    EXPECT_FALSE(restart().readConfigFlag("settings", "AutoLogin"));
}

TEST_F(IniParserTest, WritesReachTheFileOnlyWithSave)
{
    ASSERT_TRUE(store().writeConfigString("settings", "Sound", "1"));
    EXPECT_TRUE(store().readConfigFlag("settings", "Sound"));
    ASSERT_TRUE(std::filesystem::exists(settingsPath()));
    EXPECT_EQ(std::filesystem::file_size(settingsPath()), 0u);
    ASSERT_TRUE(store().save());
    EXPECT_NE(readFile(settingsPath()).find("Sound = 1"), std::string::npos);

    ASSERT_TRUE(store().writeConfigString("settings", "Sound", "0"));
    CIniParser::destroyInstance(); // the destructor saves too
    EXPECT_FALSE(CIniParser::getInstance().readConfigFlag("settings", "Sound"));
}

TEST_F(IniParserTest, ResetReportEmptiesOnlyTheReportStore)
{
    ASSERT_TRUE(store().writeReportString("report", "numeventlogs", "4"));
    ASSERT_TRUE(store().writeConfigString("report", "Backup", "1"));
    store().resetReport();
    ASSERT_TRUE(store().save());
    EXPECT_EQ(std::filesystem::file_size(reportPath()), 0u);
    EXPECT_EQ(restart().readConfigInt("report", "Backup"), 1);
}

// --- password letters ---

TEST(PasswordScramblerTest, LongPasswordReadsBackWhole)
{
    const std::string pw35 = "correct-horse-battery-staple-123456";
    ASSERT_EQ(pw35.size(), 35u);
    const std::string letters = CPasswordScrambler::scramble(pw35);
    EXPECT_EQ(letters.size(), 70u);
    EXPECT_EQ(letters.find_first_not_of("abcdefghijklmnop"), std::string::npos);
    EXPECT_EQ(CPasswordScrambler::unscramble(letters), pw35);

    const std::string pw127(127, '~');
    EXPECT_EQ(CPasswordScrambler::unscramble(CPasswordScrambler::scramble(pw127)), pw127);
    EXPECT_EQ(CPasswordScrambler::unscramble(CPasswordScrambler::scramble(pw127 + "xyz")), pw127);
}

TEST(PasswordScramblerTest, ShortValuesKeepTheirOldLetters)
{
    // Pinned letters: a changed offset or step would lock every saved login out.
    EXPECT_EQ(CPasswordScrambler::scramble("AB"), "ogci");
    const std::string sixty = "ohflilenponolahbcpicefkgaiijegojfmjnfpkaccjocbkegfkhoilfbhei";
    ASSERT_EQ(sixty.size(), 60u);
    EXPECT_EQ(CPasswordScrambler::unscramble(sixty), "Quenvale-Pilot-Thirty-Chars-00");
    EXPECT_EQ(CPasswordScrambler::scramble("Quenvale-Pilot-Thirty-Chars-00"), sixty);
    EXPECT_EQ(CPasswordScrambler::unscramble(sixty.substr(0, 7)), "Que"); // odd letter ignored
    EXPECT_EQ(CPasswordScrambler::unscramble(""), "");
}

TEST_F(IniParserTest, LoginPrefersTheScrambledPassword)
{
    ASSERT_TRUE(store().writeLogin("pilot7", "a-35-character-password-for-testing"));
    ASSERT_TRUE(store().save());
    CIniParser& s = restart();
    EXPECT_EQ(s.readConfigString("login", "User"), "pilot7");
    EXPECT_EQ(s.readConfigString("login", "Password"), "depricated");
    EXPECT_EQ(s.readLoginPassword(), "a-35-character-password-for-testing");

    ASSERT_TRUE(s.writeConfigString("login", "PasswordCrypt", ""));
    ASSERT_TRUE(s.writeConfigString("login", "Password", "plain-old"));
    EXPECT_EQ(s.readLoginPassword(), "plain-old");
}

} // namespace
