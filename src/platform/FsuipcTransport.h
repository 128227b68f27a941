// The simulator-module seam: find the module's server window, register the
// message, create and map the named shared block, send the message that makes
// the module walk the block, close. The link on top of it keeps the block
// layout, retries and error codes the same on every platform.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class FsuipcTransport {
public:
    enum class MapStatus { Mapped, NameExists, Failed };
    enum class SendStatus { Answered, TimedOut, Failed };

    struct SendOutcome {
        SendStatus status = SendStatus::Failed;
        std::uint32_t answer = 0;
        int systemError = 0; // 0 for a timeout, the platform's error number otherwise
    };

    virtual ~FsuipcTransport() = default;

    // Finds (connects to) the server window of the class; false when none is there.
    virtual bool findWindow(const std::string& className) = 0;
    // The message number the server listens for; 0 on failure.
    virtual std::uint32_t registerMessage(const std::string& name) = 0;
    // Names the mapping for the server; false on failure.
    virtual bool addAtom(const std::string& name) = 0;
    // Creates the named mapping of `size` bytes exclusively and maps it
    // read-write. The view stays valid until closeMapping.
    virtual MapStatus createMapping(const std::string& name, std::size_t size) = 0;
    virtual std::uint8_t* view() = 0;
    // Asks the server to walk the block, waiting at most timeoutMs.
    virtual SendOutcome sendMessage(std::uint32_t message, std::uint32_t timeoutMs) = 0;
    // Each of these is safe when the thing is not there.
    virtual void forgetWindow() = 0;
    virtual void deleteAtom() = 0;
    virtual void closeMapping() = 0;
    // Identifier of the running process (part of the mapping name).
    virtual std::uint32_t processId() = 0;
};

// The process's transport; until one is installed it finds no server.
FsuipcTransport& fsuipcTransport();
// Installs a transport (not owned); nullptr restores the absent one. The link
// closes itself first (CFsuipcLink::setTransport).
void setFsuipcTransport(FsuipcTransport* transport);

// The platform's own transport (PosixFsuipcTransport.cpp, Win32FsuipcTransport.cpp).
std::unique_ptr<FsuipcTransport> createPlatformFsuipcTransport();
