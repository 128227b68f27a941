// CFsuipcLink: open with the version handshake, queue, process with retries,
// unpack without trusting the answer block, close.
#include "sim/fsuipc/FsuipcLink.h"

#include "platform/Clock.h"
#include "platform/FsuipcTransport.h"
#include "core/LittleEndian.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr std::uint32_t kMinFsuipcVersion = 0x19980005;
constexpr std::uint32_t kVersionMagic = 0xFADE;
constexpr std::uint16_t kLibraryVersion = 2002;
constexpr int kHandshakePasses = 5;

// Process-wide; every open takes the next number, so a reopen never reuses a name.
std::uint32_t g_openCounter = 0;

std::uint32_t headerSize(std::uint32_t id)
{
    return id == CFsuipcLink::kReadId ? CFsuipcLink::kReadHeader : CFsuipcLink::kWriteHeader;
}

bool recordMatches(const std::uint8_t* block, std::size_t blockSize, const CFsuipcLink::QueuedRequest& q)
{
    if (q.id != CFsuipcLink::kReadId && q.id != CFsuipcLink::kWriteId)
        return false;
    const std::uint64_t end = std::uint64_t{q.position} + headerSize(q.id) + q.size;
    if (end > blockSize)
        return false;
    const std::uint8_t* r = block + q.position;
    if (getLe32(r) != q.id || getLe32(r + 4) != q.offset || getLe32(r + 8) != q.size)
        return false;
    return q.id != CFsuipcLink::kReadId || getLe32(r + 12) == CFsuipcLink::clientAddress(q.destination);
}

} // namespace

std::uint32_t CFsuipcLink::clientAddress(const void* destination)
{
    // The field is 32 bits wide; a 64-bit build stores the address's lower half.
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(destination));
}

CFsuipcLink& CFsuipcLink::instance()
{
    static CFsuipcLink link;
    return link;
}

void CFsuipcLink::setTransport(FsuipcTransport* t)
{
    instance().close();
    setFsuipcTransport(t);
}

void CFsuipcLink::resetOpenCounter()
{
    g_openCounter = 0;
}

FsuipcTransport* CFsuipcLink::transport()
{
    return &fsuipcTransport();
}

bool CFsuipcLink::fail(int code, int& result)
{
    result = code;
    return false;
}

bool CFsuipcLink::failClosed(int code, int& result)
{
    close();
    return fail(code, result);
}

bool CFsuipcLink::open(std::uint32_t requestedVersion, int& result)
{
    if (view != nullptr)
        return fail(ErrOpen, result);
    fsuipcVersion = 0;
    simulatorVersion = 0;
    if (!findWindow(result))
        return false;
    message = transport()->registerMessage("FsasmLib:IPC");
    if (message == 0)
        return failClosed(ErrRegMsg, result);
    if (!createBlock(result) || !handshake(result))
        return false;
    if (fsuipcVersion < kMinFsuipcVersion || (simulatorVersion >> 16) != kVersionMagic)
        return failClosed(wideClientFallback ? ErrRunning : ErrVersion, result);
    simulatorVersion &= 0xFFFF;
    if (requestedVersion != 0 && requestedVersion != simulatorVersion)
        return failClosed(ErrWrongFs, result);
    result = ErrOk;
    return true;
}

bool CFsuipcLink::findWindow(int& result)
{
    wideClientFallback = false;
    windowFound = transport()->findWindow("UIPCMAIN");
    if (!windowFound) {
        windowFound = transport()->findWindow("FS98MAIN");
        wideClientFallback = windowFound;
    }
    return windowFound || fail(ErrNoFs, result);
}

bool CFsuipcLink::createBlock(int& result)
{
    ++g_openCounter;
    char name[64];
    std::snprintf(name, sizeof name, "FsasmLib:IPC:%X:%X", transport()->processId(), g_openCounter);
    mappingName = name;
    if (!transport()->addAtom(mappingName))
        return failClosed(ErrAtom, result);
    atomAdded = true;
    if (transport()->createMapping(mappingName, kBlockSize) != FsuipcTransport::MapStatus::Mapped)
        return failClosed(ErrMap, result);
    view = transport()->view();
    if (view == nullptr)
        return failClosed(ErrView, result);
    next = 0;
    queued.clear();
    return true;
}

bool CFsuipcLink::handshake(int& result)
{
    for (int pass = 0; pass < kHandshakePasses && (fsuipcVersion == 0 || simulatorVersion == 0); ++pass) {
        bool ok = read(0x3304, 4, &fsuipcVersion, result) && read(0x3308, 4, &simulatorVersion, result);
        if (ok && pass == 0)
            ok = write(0x330A, 2, &kLibraryVersion, result);
        if (!ok || !process(result))
            return failClosed(result, result);
        processClock().sleepMs(100);
    }
    return true;
}

void CFsuipcLink::close()
{
    if (windowFound)
        transport()->forgetWindow();
    windowFound = false;
    message = 0;
    if (atomAdded)
        transport()->deleteAtom();
    atomAdded = false;
    if (view != nullptr)
        transport()->closeMapping();
    view = nullptr;
    next = 0;
    queued.clear();
}

bool CFsuipcLink::queue(std::uint32_t id, std::uint32_t offset, std::uint32_t size, int& result)
{
    if (view == nullptr)
        return fail(ErrNotOpen, result);
    // Reads and writes share one bound so the terminator always fits.
    if (std::uint64_t{next} + kReadHeader + size > kRequestSpace)
        return fail(ErrSize, result);
    QueuedRequest q;
    q.position = next;
    q.id = id;
    q.offset = offset;
    q.size = size;
    std::uint8_t* r = view + next;
    putLe32(r, id);
    putLe32(r + 4, offset);
    putLe32(r + 8, size);
    queued.push_back(q);
    next += headerSize(id) + size;
    result = ErrOk;
    return true;
}

bool CFsuipcLink::read(std::uint32_t offset, std::uint32_t size, void* destination, int& result)
{
    if (!queue(kReadId, offset, size, result))
        return false;
    queued.back().destination = destination;
    putLe32(view + queued.back().position + 12, clientAddress(destination));
    std::memset(view + queued.back().position + kReadHeader, 0, size);
    return true;
}

bool CFsuipcLink::write(std::uint32_t offset, std::uint32_t size, const void* source, int& result)
{
    if (!queue(kWriteId, offset, size, result))
        return false;
    std::uint8_t* data = view + queued.back().position + kWriteHeader;
    if (size > 0 && source != nullptr)
        std::memcpy(data, source, size);
    else
        std::memset(data, 0, size);
    return true;
}

bool CFsuipcLink::process(int& result)
{
    if (view == nullptr)
        return fail(ErrNotOpen, result);
    if (next == 0)
        return fail(ErrNoData, result);
    putLe32(view + next, 0);
    next = 0;
    // The batch is spent whatever happens; a failed one is queued again by the caller.
    std::vector<QueuedRequest> batch = std::move(queued);
    queued.clear();
    const bool sent = send(result);
    const bool unpacked = sent && unpack(view, kBlockSize, batch);
    // The queue keeps the batch's room, so a poll allocates nothing.
    if (queued.empty()) {
        batch.clear();
        queued.swap(batch);
    }
    if (!sent)
        return false;
    if (!unpacked)
        return fail(ErrData, result);
    result = ErrOk;
    return true;
}

bool CFsuipcLink::send(int& result)
{
    FsuipcTransport::SendOutcome outcome;
    for (int attempt = 0; attempt < kSendAttempts; ++attempt) {
        outcome = transport()->sendMessage(message, kSendTimeoutMs);
        if (outcome.status == FsuipcTransport::SendStatus::Answered)
            break;
        processClock().sleepMs(100);
    }
    if (outcome.status != FsuipcTransport::SendStatus::Answered)
        return fail(outcome.systemError == 0 ? ErrTimeout : ErrSendMsg, result);
    if (outcome.answer != 1)
        return fail(ErrData, result);
    return true;
}

bool CFsuipcLink::unpack(const std::uint8_t* block, std::size_t blockSize, const std::vector<QueuedRequest>& batch)
{
    for (std::size_t i = 0; i < batch.size(); ++i) {
        if (!recordMatches(block, blockSize, batch[i]))
            return false;
    }
    for (const QueuedRequest& q : batch) {
        if (q.id == kReadId && q.destination != nullptr && q.size != 0)
            std::memcpy(q.destination, block + q.position + kReadHeader, q.size);
    }
    return true;
}
