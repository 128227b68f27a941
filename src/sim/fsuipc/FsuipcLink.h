// The low-level link to the simulator module: one process-wide shared block
// into which read and write requests are queued, a message that makes the
// module walk the block, and the unpacking of the answers. Every call returns
// success and leaves one of the error codes below in the caller's result word.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class FsuipcTransport;

class CFsuipcLink {
public:
    enum Error {
        ErrOk = 0,
        ErrOpen = 1,
        ErrNoFs = 2,
        ErrRegMsg = 3,
        ErrAtom = 4,
        ErrMap = 5,
        ErrView = 6,
        ErrVersion = 7,
        ErrWrongFs = 8,
        ErrNotOpen = 9,
        ErrNoData = 10,
        ErrTimeout = 11,
        ErrSendMsg = 12,
        ErrData = 13,
        ErrRunning = 14,
        ErrSize = 15,
    };

    static constexpr std::uint32_t kBlockSize = 0x8000;
    static constexpr std::uint32_t kRequestSpace = 0x7F00;
    static constexpr std::uint32_t kReadId = 1;
    static constexpr std::uint32_t kWriteId = 2;
    static constexpr std::uint32_t kReadHeader = 16;
    static constexpr std::uint32_t kWriteHeader = 12;
    static constexpr std::uint32_t kSendTimeoutMs = 2000;
    static constexpr int kSendAttempts = 9;

    // One request as the client queued it. A read's record carries its
    // destination as a 32-bit client address; unpacking copies to the
    // destination queued here, never to an address read back from the block.
    struct QueuedRequest {
        std::uint32_t position = 0; // byte offset of the record in the block
        std::uint32_t id = 0;       // kReadId or kWriteId
        std::uint32_t offset = 0;
        std::uint32_t size = 0;
        void* destination = nullptr; // reads only
    };

    // The one link of the process.
    static CFsuipcLink& instance();

    bool open(std::uint32_t requestedVersion, int& result);
    void close();
    bool read(std::uint32_t offset, std::uint32_t size, void* destination, int& result);
    bool write(std::uint32_t offset, std::uint32_t size, const void* source, int& result);
    bool process(int& result);

    bool isOpen() const { return view != nullptr; }
    std::uint32_t getFsuipcVersion() const { return fsuipcVersion; }
    std::uint32_t getSimulatorVersion() const { return simulatorVersion; }
    const std::string& getMappingName() const { return mappingName; }

    // Copies the read answers of a processed block to their destinations, after
    // checking that every queued record still carries the identifier, offset,
    // size and address it was queued with. Nothing is copied unless all match.
    static bool unpack(const std::uint8_t* block, std::size_t blockSize, const std::vector<QueuedRequest>& queued);

    // The destination as the block's 32-bit address field holds it.
    static std::uint32_t clientAddress(const void* destination);

    // The transport the link opens through (not owned); nullptr installs one
    // that finds no server.
    static void setTransport(FsuipcTransport* transport);
    // Starts the mapping-name counter afresh (tests of a "new process").
    static void resetOpenCounter();

private:
    CFsuipcLink() = default;
    bool fail(int code, int& result);
    bool failClosed(int code, int& result);
    bool findWindow(int& result);
    bool createBlock(int& result);
    bool handshake(int& result);
    bool queue(std::uint32_t id, std::uint32_t offset, std::uint32_t size, int& result);
    bool send(int& result);

    FsuipcTransport* transport();

    bool windowFound = false;
    std::uint32_t message = 0;
    bool atomAdded = false;
    std::uint8_t* view = nullptr;
    std::uint32_t next = 0;
    std::uint32_t fsuipcVersion = 0;
    std::uint32_t simulatorVersion = 0;
    bool wideClientFallback = false;
    std::string mappingName;
    std::vector<QueuedRequest> queued;
};
