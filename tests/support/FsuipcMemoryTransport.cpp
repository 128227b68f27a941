// CFsuipcMemoryTransport: the block walk of a well-behaved server.
#include "FsuipcMemoryTransport.h"

namespace {
std::uint32_t le32(const std::uint8_t* p)
{
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}
} // namespace

CFsuipcMemoryTransport::CFsuipcMemoryTransport()
{
    set<std::uint32_t>(0x3304, 0x70100000);
    set<std::uint32_t>(0x3308, 0xFADE0008);
}

bool CFsuipcMemoryTransport::findWindow(const std::string& className)
{
    windowOpen = className == windowClass;
    return windowOpen;
}

bool CFsuipcMemoryTransport::addAtom(const std::string& name)
{
    atom = name;
    return !atomFails;
}

FsuipcTransport::MapStatus CFsuipcMemoryTransport::createMapping(const std::string& name, std::size_t size)
{
    mappingNames.push_back(name);
    if (mapStatus != MapStatus::Mapped)
        return mapStatus;
    block.assign(size, 0);
    return MapStatus::Mapped;
}

FsuipcTransport::SendOutcome CFsuipcMemoryTransport::sendMessage(std::uint32_t, std::uint32_t)
{
    ++sends;
    if (timeoutsBeforeAnswer > 0) {
        --timeoutsBeforeAnswer;
        return SendOutcome{SendStatus::TimedOut, 0, 0};
    }
    if (failuresBeforeAnswer > 0) {
        --failuresBeforeAnswer;
        return SendOutcome{SendStatus::Failed, 0, 32};
    }
    walk();
    if (afterWalk)
        afterWalk(block.data());
    return SendOutcome{SendStatus::Answered, answer, 0};
}

void CFsuipcMemoryTransport::walk()
{
    std::size_t pos = 0;
    while (pos + 16 <= block.size()) {
        const std::uint32_t id = le32(&block[pos]);
        const std::uint32_t offset = le32(&block[pos + 4]);
        const std::uint32_t n = le32(&block[pos + 8]);
        const std::size_t header = id == 1 ? 16 : 12;
        if ((id != 1 && id != 2) || pos + header + n > block.size() || offset + std::size_t{n} > space.size())
            return;
        if (id == 1) {
            std::memcpy(&block[pos + header], space.data() + offset, n);
        } else {
            // The library version goes to the module, not into what it serves at 0x3308.
            if (offset != 0x330A)
                std::memcpy(space.data() + offset, &block[pos + header], n);
            writtenOffsets.push_back(offset);
        }
        pos += header + n;
    }
}
