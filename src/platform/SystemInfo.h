// The system-information seam: where per-user data lives, which program runs,
// which machine and operating system it is.
#pragma once

#include <string>

class SystemInfo {
public:
    virtual ~SystemInfo() = default;
    // The per-user application-data folder, created if missing, with a trailing
    // separator; empty when it cannot be determined.
    virtual std::string userDataFolder() = 0;
    // Full path of the running program file.
    virtual std::string programPath() = 0;
    // Operating-system text for reports, e.g. "Linux".
    virtual std::string osName() = 0;
    // A stable identifier of this machine (eight upper-case hex digits).
    virtual std::string machineId() = 0;
    // Creates one directory (parents must exist); true when it exists afterwards.
    virtual bool createDirectory(const std::string& path) = 0;
    // The text of a stored file (settings, report store) as UTF-8, and back:
    // Windows keeps those files in the system code page. Elsewhere they are UTF-8.
    virtual std::string storedTextToUtf8(const std::string& stored) { return stored; }
    // False when a character has no place in the stored encoding (written as "?").
    virtual bool utf8ToStoredText(const std::string& text, std::string& stored)
    {
        stored = text;
        return true;
    }
};

// The process's system information; a null object answering empty texts
// until a front-end or test installs the platform's own.
SystemInfo& systemInfo();
void setSystemInfo(SystemInfo* info);

#include <memory>
// The platform's own implementation (PosixSystemInfo.cpp / Win32SystemInfo.cpp).
std::unique_ptr<SystemInfo> createPlatformSystemInfo();
