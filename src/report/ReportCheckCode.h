// The three-character check code that ties the report store to the settings
// file: two characters of the store's MD5 digest, each taken as the hex text
// of its character code. A store edited by hand no longer matches its code.
#pragma once

#include <cstdint>
#include <string>

class CReportCheckCode {
public:
    // The code for a digest of 32 hex digits; empty for a shorter text.
    static std::string fromDigest(const std::string& digest);
    // The code of the file at path; empty when the file cannot be read.
    static std::string ofFile(const std::string& path);

    // Far above any flight's store; the settings file and the store are read
    // only when they are regular files of at most this size.
    static constexpr std::uintmax_t kMaxStoreBytes = 64u << 20;
};
