// Fuzzes the unpacking of an answer block the simulator side wrote. The input
// describes a queued batch (first byte: count, then 3 bytes per request) and
// the rest is the block as the server left it. Unpack must never copy beyond
// the queued destinations, and must copy nothing when it refuses the block.
#include "sim/fsuipc/FsuipcLink.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const std::size_t count = data[0] % 16;
    if (size < 1 + count * 3)
        return 0;
    static std::uint8_t block[CFsuipcLink::kBlockSize];
    static std::uint8_t memory[CFsuipcLink::kBlockSize];
    static std::uint8_t before[CFsuipcLink::kBlockSize];
    std::vector<CFsuipcLink::QueuedRequest> queued;
    std::uint32_t position = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* shape = data + 1 + i * 3;
        CFsuipcLink::QueuedRequest q;
        q.id = (shape[0] & 1) ? CFsuipcLink::kWriteId : CFsuipcLink::kReadId;
        q.size = shape[1];
        q.offset = static_cast<std::uint32_t>(shape[2]) << 4;
        q.position = position;
        q.destination = q.id == CFsuipcLink::kReadId ? memory + position : nullptr;
        position += (q.id == CFsuipcLink::kReadId ? CFsuipcLink::kReadHeader : CFsuipcLink::kWriteHeader) + q.size;
        queued.push_back(q);
    }
    const std::size_t rest = size - 1 - count * 3;
    std::memset(block, 0, sizeof block);
    std::memcpy(block, data + 1 + count * 3, rest < sizeof block ? rest : sizeof block);
    std::memset(memory, 0x5A, sizeof memory);
    std::memcpy(before, memory, sizeof memory);
    if (!CFsuipcLink::unpack(block, sizeof block, queued)) {
        if (std::memcmp(before, memory, sizeof memory) != 0)
            std::abort();
        return 0;
    }
    // Accepted: every byte outside the read data areas is still untouched.
    std::vector<bool> copied(sizeof memory, false);
    for (const auto& q : queued) {
        if (q.id == CFsuipcLink::kReadId)
            for (std::uint32_t b = 0; b < q.size; ++b)
                copied[q.position + b] = true;
    }
    for (std::size_t b = 0; b < sizeof memory; ++b) {
        if (!copied[b] && memory[b] != 0x5A)
            std::abort();
    }
    return 0;
}
