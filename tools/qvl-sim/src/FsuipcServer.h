// The module's server side: takes the client's requests to walk its shared
// block, fills the reads, applies the writes and answers. On Linux it listens
// on a Unix-domain socket per window class (frames {message, name length,
// name}, each answered with one 32-bit word); on Windows it is a top-level
// window of that class handling the registered message, whose atom names the
// client's mapping. Both share the record walking and the faults.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class COffsetSpace;

class CFsuipcServer {
public:
    static constexpr std::uint32_t kMessageNumber = 0x0000C0DE;
    static constexpr std::uint32_t kBlockSize = 0x8000;
    static constexpr std::uint32_t kMaxNameLength = 255;

    // Misbehaviour on purpose, for the client's tests.
    // AnswerLate answers the first such batch after the client stopped waiting
    // (kLateAnswerMs), and the later ones on time.
    enum class Fault { None, RewriteHeader, NeverAnswer, AnswerZero, AnswerLate };
    static constexpr std::uint32_t kLateAnswerMs = 2500;

    // Walks one block named `mapping`; false when the block is malformed.
    using BlockHandler = std::function<bool(const std::string& mapping, std::uint8_t* block, std::size_t size)>;

    explicit CFsuipcServer(BlockHandler handler);
    ~CFsuipcServer();
    CFsuipcServer(const CFsuipcServer&) = delete;
    CFsuipcServer& operator=(const CFsuipcServer&) = delete;

    // Serves as window class `className`; on Linux in socket folder `directory`
    // (empty: the usual place). On Windows the window belongs to the calling
    // thread, which must then call pump.
    bool start(const std::string& className = "UIPCMAIN", const std::string& directory = {});
    void stop();
    bool running() const;
    // Waits up to `ms` for the client, serving what arrives meanwhile (Windows:
    // the thread's messages; Linux: the sockets have threads of their own).
    void pump(unsigned ms);
    void setFault(Fault f) { fault = f; }
    // Mapping names of the blocks served so far, oldest first.
    std::vector<std::string> mappingNames() const;
    // Where the client finds the server: the socket path, or the window class.
    std::string socketPath() const { return path; }

    // The place the client looks for the server sockets (Linux).
    static std::string defaultDirectory();
    // Serves every request of a block from the offset space.
    static bool walkBlock(std::uint8_t* block, std::size_t size, COffsetSpace& space);
    // Only names of the client's own form are opened.
    static bool isMappingName(const std::string& name);

private:
    struct Endpoint;

    // Maps the block the client named and serves it (platform file).
    bool serveNamed(const std::string& name, bool faulty);
    // Walks the mapped block of `name` and applies the fault; the outcome the
    // answer reports (before AnswerZero, which the caller applies).
    bool serveMapped(const std::string& name, std::uint8_t* block, bool faulty);
    void tamper(std::uint8_t* block);

    BlockHandler handler;
    std::atomic<Fault> fault{Fault::None};
    std::string path;
    mutable std::mutex mutex;
    std::vector<std::string> names;
    std::unique_ptr<Endpoint> endpoint;
};
