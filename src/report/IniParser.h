// The one store of everything kept on disk between runs: the settings file
// "quenvale.ini" and the report store "quenvale_report2.ini". Values are text;
// binary records are kept as two upper-case hex digits per byte. Writes stay
// in memory until save(), which replaces each file atomically.
#pragma once

#include "core/DebugLog.h"
#include "core/Singleton.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CIniParser : public CSingleton<CIniParser> {
public:
    CIniParser();
    ~CIniParser() override;

    // --- settings file ---
    bool writeConfigString(const std::string& section, const std::string& key, const std::string& value);
    int readConfigInt(const std::string& section, const std::string& key);
    bool readConfigFlag(const std::string& section, const std::string& key);
    bool readConfigFlagDefaultOn(const std::string& section, const std::string& key);
    void readConfigString(const std::string& section, const std::string& key, char* destination, std::size_t size);
    template <std::size_t N>
    void readConfigString(const std::string& section, const std::string& key, char (&destination)[N])
    {
        readConfigString(section, key, destination, N);
    }
    std::string readConfigString(const std::string& section, const std::string& key);

    // Login: User, the legacy Password ("depricated") and PasswordCrypt, in
    // that order. readLoginPassword prefers PasswordCrypt when it is set.
    bool writeLogin(const std::string& user, const std::string& password);
    std::string readLoginPassword();

    // --- report store ---
    bool writeReportString(const std::string& section, const std::string& key, const std::string& value);
    bool writeReportStruct(const void* record, const std::string& section, const std::string& key, std::size_t size);
    int readReportInt(const std::string& section, const std::string& key);
    // Decodes the stored value into size bytes of record. A missing, short or
    // non-hex value leaves record unchanged and answers false.
    bool readReportStruct(const std::string& section, const std::string& key, void* record, std::size_t size);
    void resetReport();
    // A list of records in section "report": the count under countKey and
    // record i under recordKey followed by i. Reading replaces records and
    // stops at the first record missing or corrupt (false; what was read
    // before it is kept).
    template <class T>
    bool writeReportList(const std::string& countKey, const std::string& recordKey, const std::vector<T>& records);
    template <class T>
    bool readReportList(const std::string& countKey, const std::string& recordKey, std::vector<T>& records);

    // Writes both files; false when either could not be replaced.
    bool save();
    // Drops unsaved changes and reads both files again (finishing a backup
    // write that was cut short, see below).
    void reload();
    // Reads the report store again, dropping its unsaved changes.
    void reloadReport();
    // The report document as the file would hold it, and back (a report kept
    // in memory when it cannot be saved).
    std::string reportText();
    bool loadReportText(const std::string& text);

    // A backup changes two files that must agree: the report store and the
    // check code in the settings. The report goes first to a staged file
    // beside the store, the settings with the code of that file are saved,
    // and only then is the staged file moved over the store. When the store
    // is next opened, a staged file left behind is moved into place if the
    // settings carry its code, and dropped otherwise.
    bool stageReport();
    bool saveSettings();
    bool commitStagedReport();
    void discardStagedReport();
    const std::string& getStagedReportPath() const { return stagedReportPath; }
    // The generation written into the last staged store; the settings
    // commit it as "report"/"Generation".
    const std::string& getStagedGeneration() const { return stagedGeneration; }

    const std::string& getReportPath() const { return reportPath; }
    const std::string& getSettingsPath() const { return settingsPath; }
    const std::string& getLastError() const { return lastError; }

    // The record encoding, usable without a store.
    static std::string encodeHex(const void* record, std::size_t size);
    static bool decodeHex(std::string_view text, void* record, std::size_t size);
    // A whole decimal integer in the int range (optional leading '-').
    static bool parseDecimal(std::string_view text, int& value);

private:
    struct Documents;

    bool setValue(bool report, const std::string& section, const std::string& key, const std::string& value,
                  const std::string& failureMessage);
    int readInt(bool report, const std::string& section, const std::string& key, const char* absent);
    bool saveDocument(bool report, const std::string& path);
    void createIfMissing(const std::string& path);
    void removeLeftovers();
    void loadDocument(bool report, const std::string& path);
    void finishStagedReport();
    bool stagedBelongsToSettings();
    static std::string generationOf(const std::string& path);
    // The whole file; false with why ("missing", "unreadable", ...) otherwise.
    static bool readStoreFile(const std::string& path, std::string& text, std::string& why);

    CDebugLog log;
    std::string lastError;
    std::string dataFolder;
    std::string settingsPath;
    std::string reportPath;
    std::string stagedReportPath;
    std::string stagedGeneration;
    std::unique_ptr<Documents> docs;
};

template <class T>
bool CIniParser::writeReportList(const std::string& countKey, const std::string& recordKey,
                                 const std::vector<T>& records)
{
    bool ok = writeReportString("report", countKey, std::to_string(records.size()));
    for (std::size_t i = 0; i < records.size(); ++i)
        ok = writeReportStruct(&records[i], "report", recordKey + std::to_string(i), sizeof(T)) && ok;
    return ok;
}

template <class T>
bool CIniParser::readReportList(const std::string& countKey, const std::string& recordKey, std::vector<T>& records)
{
    const int count = readReportInt("report", countKey);
    records.clear();
    for (int i = 0; i < count; ++i) {
        T record{};
        if (!readReportStruct("report", recordKey + std::to_string(i), &record, sizeof record)) {
            log.errorf("%s in report INI-file ends early: %d of %d records read", countKey.c_str(), i, count);
            return false;
        }
        records.push_back(record);
    }
    return count >= 0;
}
