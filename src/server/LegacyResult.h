// The result words of the legacy endpoint and their codes.
#pragma once

#include <array>
#include <string_view>

enum LegacyResult {
    LegacySuccess = 0,
    LegacyNoUser,
    LegacyNotFound,
    LegacyInvalid,
    LegacyBadData,
    LegacyCouldNotOpen,
    LegacyInitFailed,
    LegacyWrongCode,
    LegacyAlreadyUploaded,
    LegacyNoLog,
    LegacyBadLoginData,
};

inline constexpr std::array<std::string_view, 11> kLegacyResultTexts = {
    "SUCCESS",     "NO USER",    "NOT FOUND",        "INVALID", "Bad data from website", "Could not open URL",
    "INIT FAILED", "WRONG CODE", "ALREADY UPLOADED", "NO LOG",  "BAD LOGINDATA"};

// A result word of the service other than success: it answered, and said no.
// Transport failures and unreadable answers are not; neither is an unknown
// login, which the next login mends.
inline bool isServiceRefusal(int code)
{
    return code > LegacySuccess && code <= LegacyBadLoginData && code != LegacyNoUser && code != LegacyBadData &&
           code != LegacyCouldNotOpen;
}

// The text of a code; codes outside the table read as "Bad data from website".
inline std::string_view legacyResultText(int code)
{
    if (code < 0 || code >= static_cast<int>(kLegacyResultTexts.size()))
        return kLegacyResultTexts[LegacyBadData];
    return kLegacyResultTexts[static_cast<std::size_t>(code)];
}
