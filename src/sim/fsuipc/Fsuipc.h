// CFsuipc: the simulator-module link as the adapter uses it. It reopens the
// link lazily after any failure, so a restarted simulator is picked up on the
// next call, and logs why an open failed.
#pragma once

#include <cstdint>
#include <memory>

class CDebugLog;

class CFsuipc {
public:
    CFsuipc();
    virtual ~CFsuipc();
    CFsuipc(const CFsuipc&) = delete;
    CFsuipc& operator=(const CFsuipc&) = delete;

    bool open();
    void close();
    bool isOpen() const { return bOpen; }
    // Queue a request; nothing reaches the simulator before process().
    bool read(std::uint32_t offset, std::uint32_t size, void* destination);
    bool write(std::uint32_t offset, std::uint32_t size, const void* source);
    bool process();

    // The log text of a link error code.
    static const char* errorText(int code);

private:
    bool ensureOpen();
    bool closeOnFailure(bool ok);

    bool bOpen = false;
    std::unique_ptr<CDebugLog> fsuipcLog;
};
