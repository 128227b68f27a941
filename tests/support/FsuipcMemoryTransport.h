// An in-process stand-in for the module behind the link: a plain offset space
// served from the block on every send, with switches for the failures a real
// transport can show. Unit tests use it with a ManualClock, so retries cost no time.
#pragma once

#include "platform/FsuipcTransport.h"

#include <array>
#include <cstring>
#include <functional>
#include <vector>

class CFsuipcMemoryTransport final : public FsuipcTransport {
public:
    CFsuipcMemoryTransport();

    bool findWindow(const std::string& className) override;
    std::uint32_t registerMessage(const std::string&) override { return messageNumber; }
    bool addAtom(const std::string& name) override;
    MapStatus createMapping(const std::string& name, std::size_t size) override;
    std::uint8_t* view() override { return block.empty() || noView ? nullptr : block.data(); }
    SendOutcome sendMessage(std::uint32_t message, std::uint32_t timeoutMs) override;
    void forgetWindow() override { windowOpen = false; }
    void deleteAtom() override { atom.clear(); }
    void closeMapping() override { block.clear(); }
    std::uint32_t processId() override { return 0x1234; }

    template <typename T> void set(std::uint32_t offset, T value)
    {
        std::memcpy(space.data() + offset, &value, sizeof value);
    }
    template <typename T> T get(std::uint32_t offset) const
    {
        T v{};
        std::memcpy(&v, space.data() + offset, sizeof v);
        return v;
    }

    // Switches.
    std::string windowClass = "UIPCMAIN"; // the class that answers; empty: none
    int timeoutsBeforeAnswer = 0;         // sends that time out first
    int failuresBeforeAnswer = 0;         // sends that fail with a system error first
    std::uint32_t answer = 1;
    std::uint32_t messageNumber = 0xC0DE; // 0: the message cannot be registered
    bool atomFails = false;
    MapStatus mapStatus = MapStatus::Mapped;
    bool noView = false;
    std::function<void(std::uint8_t* block)> afterWalk; // tampers with the answered block

    // What happened.
    int sends = 0;
    std::vector<std::uint32_t> writtenOffsets;
    std::vector<std::string> mappingNames;

private:
    void walk();

    bool windowOpen = false;
    std::string atom;
    std::vector<std::uint8_t> block;
    std::array<std::uint8_t, 0x10000> space{};
};
