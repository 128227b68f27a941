// CIniParser: two SimpleIni documents, typed reads with defaults, the hex
// record encoding and atomic saves.
#include "report/IniParser.h"

#include "core/ClientConfig.h"
#include "core/FixedText.h"
#include "core/RegularFile.h"
#include "core/Utf8Path.h"
#include "platform/DurableFiles.h"
#include "platform/SystemInfo.h"
#include "report/AtomicFile.h"
#include "report/PasswordScrambler.h"
#include "report/ReportCheckCode.h"

// 8-bit text needs no converter; the templates are built here so no separate
// library is linked (the Windows build has none).
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

struct CIniParser::Documents {
    // 8-bit text, one value per key, single-line values, " = " on write.
    CSimpleIniA report{false, false, false};
    CSimpleIniA settings{false, false, false};

    CSimpleIniA& get(bool isReport) { return isReport ? report : settings; }
};

namespace {

// A value as it may appear in a log line: bounded, control bytes escaped.
std::string printable(std::string_view text)
{
    constexpr std::size_t kMax = 64;
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (std::size_t i = 0; i < text.size() && i < kMax; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7F) {
            out.push_back(static_cast<char>(c));
        } else {
            out += "\\x";
            out.push_back(hex[c >> 4]);
            out.push_back(hex[c & 0x0F]);
        }
    }
    if (text.size() > kMax)
        out += "...";
    return out;
}

// Line breaks would end the value early and let the rest be read as keys of
// their own; brackets and '=' would do the same to section and key names.
bool isSafeName(std::string_view name, std::string_view forbidden)
{
    return !name.empty() && name.find_first_of(forbidden) == std::string_view::npos;
}

bool isSafeEntry(const std::string& section, const std::string& key, const std::string& value)
{
    return isSafeName(section, std::string_view("\r\n[]\0", 5)) && isSafeName(key, std::string_view("\r\n=\0", 4)) &&
           value.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace

CIniParser::CIniParser() : log("CIniParser", CDebugLog::Quiet{}), docs(std::make_unique<Documents>())
{
    dataFolder = CClientConfig::getInstance().getSettingsFolder();
    settingsPath = dataFolder + "quenvale.ini";
    reportPath = dataFolder + "quenvale_report2.ini";
    stagedReportPath = reportPath + ".new";
    removeLeftovers();
    createIfMissing(settingsPath);
    createIfMissing(reportPath);
    reload();
}

CIniParser::~CIniParser()
{
    save();
}

// --- settings file ---

bool CIniParser::writeConfigString(const std::string& section, const std::string& key, const std::string& value)
{
    return setValue(false, section, key, value,
                    "Could not write string to config INI-file! (Section:" + section + " Key:" + key +
                        " String:" + printable(value) + ")");
}

int CIniParser::readConfigInt(const std::string& section, const std::string& key)
{
    return readInt(false, section, key, "0");
}

bool CIniParser::readConfigFlag(const std::string& section, const std::string& key)
{
    return readInt(false, section, key, "0") == 1;
}

bool CIniParser::readConfigFlagDefaultOn(const std::string& section, const std::string& key)
{
    return readInt(false, section, key, "1") == 1;
}

void CIniParser::readConfigString(const std::string& section, const std::string& key, char* destination,
                                  std::size_t size)
{
    copyText(destination, size, readConfigString(section, key));
}

std::string CIniParser::readConfigString(const std::string& section, const std::string& key)
{
    const char* v = docs->settings.GetValue(section.c_str(), key.c_str(), nullptr);
    return v != nullptr ? std::string(v) : std::string();
}

bool CIniParser::writeLogin(const std::string& user, const std::string& password)
{
    const bool a = writeConfigString("login", "User", user);
    const bool b = writeConfigString("login", "Password", "depricated");
    // The scrambled letters stand for the password's bytes in the stored
    // encoding, as the rest of the file does.
    std::string stored;
    if (!systemInfo().utf8ToStoredText(password, stored))
        log.warn("The password holds a character the system code page lacks; it is stored as \"?\"");
    const bool c = writeConfigString("login", "PasswordCrypt", CPasswordScrambler::scramble(stored));
    return a && b && c;
}

std::string CIniParser::readLoginPassword()
{
    const std::string crypt = readConfigString("login", "PasswordCrypt");
    if (!crypt.empty())
        return systemInfo().storedTextToUtf8(CPasswordScrambler::unscramble(crypt));
    return readConfigString("login", "Password");
}

// --- report store ---

bool CIniParser::writeReportString(const std::string& section, const std::string& key, const std::string& value)
{
    return setValue(true, section, key, value,
                    "Could not write string to report INI-file! (Section:" + section + " Key:" + key +
                        " String:" + printable(value) + ")");
}

bool CIniParser::writeReportStruct(const void* record, const std::string& section, const std::string& key,
                                   std::size_t size)
{
    return setValue(true, section, key, encodeHex(record, size),
                    "Could not write struct to report INI-file! (Section:" + section + " Key:" + key + ")");
}

int CIniParser::readReportInt(const std::string& section, const std::string& key)
{
    return readInt(true, section, key, "0");
}

bool CIniParser::readReportStruct(const std::string& section, const std::string& key, void* record, std::size_t size)
{
    const char* v = docs->report.GetValue(section.c_str(), key.c_str(), nullptr);
    if (v == nullptr) {
        log.warn("Record missing in report INI-file (Section:" + section + " Key:" + key + ")");
        return false;
    }
    if (!decodeHex(v, record, size)) {
        log.error("Corrupt record in report INI-file, not read (Section:" + section + " Key:" + key +
                  " Expected:" + std::to_string(2 * size) + " Found:" + std::to_string(std::strlen(v)) + ")");
        return false;
    }
    return true;
}

void CIniParser::resetReport()
{
    docs->report.Reset();
}

// --- files ---

bool CIniParser::save()
{
    const bool settingsOk = saveDocument(false, settingsPath);
    const bool reportOk = saveDocument(true, reportPath);
    return settingsOk && reportOk;
}

void CIniParser::reload()
{
    loadDocument(false, settingsPath);
    finishStagedReport();
    loadDocument(true, reportPath);
}

void CIniParser::reloadReport()
{
    loadDocument(true, reportPath);
}

std::string CIniParser::reportText()
{
    std::string text;
    if (docs->report.Save(text, false) < 0)
        text.clear();
    return text;
}

bool CIniParser::loadReportText(const std::string& text)
{
    docs->report.Reset();
    return docs->report.LoadData(text) >= 0;
}

bool CIniParser::stageReport()
{
    // The generation ties the staged store to the settings that commit it;
    // a three-character code alone collides once in 32 backups.
    stagedGeneration = std::to_string(static_cast<long long>(readConfigInt("report", "Generation")) + 1);
    return setValue(true, "report", "generation", stagedGeneration, "Could not write the backup generation") &&
           saveDocument(true, stagedReportPath);
}

bool CIniParser::saveSettings()
{
    return saveDocument(false, settingsPath);
}

bool CIniParser::commitStagedReport()
{
    if (durableFiles().replace(stagedReportPath, reportPath))
        return true;
    log.error("Could not move " + stagedReportPath + " over " + reportPath + "; finished at the next start");
    return false;
}

void CIniParser::discardStagedReport()
{
    std::error_code ec;
    if (std::filesystem::exists(utf8Path(stagedReportPath), ec))
        durableFiles().remove(stagedReportPath);
}

bool CIniParser::stagedBelongsToSettings()
{
    const std::string code = readConfigString("report", "Code");
    if (code.empty() || CReportCheckCode::ofFile(stagedReportPath) != code)
        return false;
    const std::string generation = readConfigString("report", "Generation");
    // Settings written before generations existed: the code decides alone.
    if (generation.empty())
        return CReportCheckCode::ofFile(reportPath) != code;
    return generationOf(stagedReportPath) == generation && generationOf(reportPath) != generation;
}

std::string CIniParser::generationOf(const std::string& path)
{
    std::string text;
    std::string why;
    CSimpleIniA document(false, false, false);
    if (!readStoreFile(path, text, why) || document.LoadData(text) < 0)
        return {};
    return document.GetValue("report", "generation", "");
}

// Through the UTF-8 path, so a data folder under any user name is read
// (the library's own loader opens files by their code-page name); the text
// comes back as UTF-8 from the system's encoding.
bool CIniParser::readStoreFile(const std::string& path, std::string& text, std::string& why)
{
    if (!CRegularFile::fits(path, CReportCheckCode::kMaxStoreBytes, why))
        return false;
    std::ifstream in(utf8Path(path), std::ios::binary);
    const std::string stored((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.is_open() || in.bad()) {
        why = "unreadable";
        return false;
    }
    text = systemInfo().storedTextToUtf8(stored);
    return true;
}

void CIniParser::finishStagedReport()
{
    std::error_code ec;
    if (!std::filesystem::exists(utf8Path(stagedReportPath), ec))
        return;
    // The settings decide which report belongs to them: the one in place
    // when it still matches, else the staged one when the settings were
    // already committed for it.
    if (stagedBelongsToSettings()) {
        if (durableFiles().replace(stagedReportPath, reportPath))
            log.warn("Finished an interrupted report backup: " + stagedReportPath + " moved into place");
        else
            log.error("Could not finish an interrupted report backup: " + stagedReportPath);
        return;
    }
    discardStagedReport();
    log.warn("Dropped an unfinished report backup: " + stagedReportPath);
}

// --- encoding ---

std::string CIniParser::encodeHex(const void* record, std::size_t size)
{
    static const char* digits = "0123456789ABCDEF";
    const unsigned char* bytes = static_cast<const unsigned char*>(record);
    std::string out(2 * size, '0');
    for (std::size_t i = 0; i < size; ++i) {
        out[2 * i] = digits[bytes[i] >> 4];
        out[2 * i + 1] = digits[bytes[i] & 0x0F];
    }
    return out;
}

bool CIniParser::decodeHex(std::string_view text, void* record, std::size_t size)
{
    if (text.size() < 2 * size)
        return false;
    // Decode aside first so a bad digit halfway leaves the record untouched.
    std::vector<unsigned char> bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        const int hi = hexDigit(text[2 * i]);
        const int lo = hexDigit(text[2 * i + 1]);
        if (hi < 0 || lo < 0)
            return false;
        bytes[i] = static_cast<unsigned char>(hi * 16 + lo);
    }
    if (size > 0)
        std::memcpy(record, bytes.data(), size);
    return true;
}

bool CIniParser::parseDecimal(std::string_view text, int& value)
{
    // The old reader accepted an explicit plus sign too.
    if (text.size() > 1 && text[0] == '+' && text[1] != '-')
        text.remove_prefix(1);
    int v = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, v);
    if (ec != std::errc() || ptr != end)
        return false;
    value = v;
    return true;
}

// --- helpers ---

bool CIniParser::setValue(bool report, const std::string& section, const std::string& key, const std::string& value,
                          const std::string& failureMessage)
{
    if (isSafeEntry(section, key, value) &&
        docs->get(report).SetValue(section.c_str(), key.c_str(), value.c_str()) >= 0)
        return true;
    lastError = failureMessage;
    log.error(lastError);
    return false;
}

int CIniParser::readInt(bool report, const std::string& section, const std::string& key, const char* absent)
{
    const char* v = docs->get(report).GetValue(section.c_str(), key.c_str(), absent);
    int value = 0;
    if (v[0] == '\0' || parseDecimal(v, value))
        return value;
    log.error(std::string("Not a decimal number in ") + (report ? "report" : "config") +
              " INI-file, read as 0 (Section:" + section + " Key:" + key + " Value:" + printable(v) + ")");
    return 0;
}

bool CIniParser::saveDocument(bool report, const std::string& path)
{
    std::string text;
    if (docs->get(report).Save(text, false) < 0) {
        lastError = "Could not serialise " + path;
        log.error(lastError);
        return false;
    }
    // UTF-8 inside; the file in the system's own encoding (its code page on Windows).
    std::string stored;
    if (!systemInfo().utf8ToStoredText(text, stored))
        log.warn(path + ": a character the system code page lacks is stored as \"?\"");
    std::string error;
    if (CAtomicFile::write(path, stored, error))
        return true;
    lastError = "Could not save " + path + ": " + error;
    log.error(lastError + "; the previous file is kept");
    return false;
}

void CIniParser::removeLeftovers()
{
    // A save cut short by a kill leaves its temporary file; the file it was
    // for is whole either way.
    for (const std::string* path : {&settingsPath, &reportPath, &stagedReportPath}) {
        const std::string temp = CAtomicFile::temporaryPathFor(*path);
        if (CRegularFile::exists(temp) && durableFiles().remove(temp))
            log.warn("Removed " + temp + " left by an interrupted save");
    }
}

void CIniParser::createIfMissing(const std::string& path)
{
    std::error_code ec;
    if (std::filesystem::exists(utf8Path(path), ec))
        return;
    std::string error;
    if (!CAtomicFile::write(path, "", error))
        log.error("Could not create " + path + ": " + error);
}

void CIniParser::loadDocument(bool report, const std::string& path)
{
    CSimpleIniA& doc = docs->get(report);
    doc.Reset();
    std::string text;
    std::string why;
    if (!readStoreFile(path, text, why)) {
        if (why == "unreadable")
            log.warn("Could not load " + path + "; starting empty");
        else if (why != "missing")
            log.error("Could not load " + path + ": " + why + "; starting empty");
        return;
    }
    if (doc.LoadData(text) < 0) {
        // An unreadable file counts as empty; the next save writes it afresh.
        doc.Reset();
        log.warn("Could not load " + path + "; starting empty");
    }
}
