// The legacy endpoint "/client_interface3.php": posts a form-encoded request,
// reads the framed answer and keeps the result code, its text, the result line
// and the rows for the caller's lookups.
#pragma once

#include "core/DebugLog.h"
#include "server/LegacyFrame.h"

#include <string>

class CLegacyEndpoint {
public:
    static constexpr const char* kPath = "/client_interface3.php";
    static constexpr std::size_t kMaxAnswer = 32767;

    // Log lines go to the owner's channel.
    explicit CLegacyEndpoint(CDebugLog& ownerLog) : log(ownerLog) {}

    // Installs serverUrl as the process-wide address and makes the call.
    int call(const std::string& serverUrl, const std::string& requestText);

    const CLegacyFrame& frame() const { return rows; }
    int resultCode() const { return code; }
    const std::string& resultText() const { return text; }
    // "%s(%d)" of the text and the code.
    const std::string& resultLine() const { return line; }

private:
    void setResult(int result);

    CDebugLog& log;
    CLegacyFrame rows;
    std::string response;
    // A fresh client reads as if its last call succeeded.
    int code = 0;
    std::string text = "SUCCESS";
    std::string line = "SUCCESS(0)";
};
