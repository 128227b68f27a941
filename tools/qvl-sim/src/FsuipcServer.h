// The module's server side on Linux: a listening Unix-domain socket per window
// class, frames {message, name length, name} naming the client's shared block,
// each answered with one 32-bit word after the block has been walked.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
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

    // Listens as window class `className` in `directory` (empty: the usual place).
    bool start(const std::string& className = "UIPCMAIN", const std::string& directory = {});
    void stop();
    bool running() const { return listenFd >= 0; }
    void setFault(Fault f) { fault = f; }
    // Mapping names of the frames served so far, oldest first.
    std::vector<std::string> mappingNames() const;
    std::string socketPath() const { return path; }

    // The place the client looks for the server sockets.
    static std::string defaultDirectory();
    // Serves every request of a block from the offset space.
    static bool walkBlock(std::uint8_t* block, std::size_t size, COffsetSpace& space);

private:
    void acceptLoop();
    void serveConnection(int fd);
    bool serveFrame(const std::string& name, bool faulty);
    void tamper(std::uint8_t* block);

    BlockHandler handler;
    std::atomic<Fault> fault{Fault::None};
    int listenFd = -1;
    std::string path;
    std::thread acceptor;
    mutable std::mutex mutex;
    std::vector<int> connections;
    std::vector<std::thread> workers;
    std::vector<std::string> names;
    std::atomic<bool> stopping{false};
};
