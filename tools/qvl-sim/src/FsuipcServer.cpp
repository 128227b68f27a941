// CFsuipcServer: what both transports share: the names served, the record
// walking and the faults.
#include "FsuipcServer.h"

#include "OffsetSpace.h"
#include "core/LittleEndian.h"

std::vector<std::string> CFsuipcServer::mappingNames() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return names;
}

bool CFsuipcServer::isMappingName(const std::string& name)
{
    return name.size() <= kMaxNameLength && name.rfind("FsasmLib:IPC:", 0) == 0 &&
           name.find_first_of("/\\") == std::string::npos;
}

bool CFsuipcServer::serveMapped(const std::string& name, std::uint8_t* block, bool faulty)
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (names.empty() || names.back() != name)
            names.push_back(name);
    }
    const bool ok = handler(name, block, kBlockSize);
    if (faulty && fault == Fault::RewriteHeader)
        tamper(block);
    return ok;
}

void CFsuipcServer::tamper(std::uint8_t* block)
{
    // Point the first record elsewhere and claim the whole block for it.
    if (getLe32(block) == 0)
        return;
    putLe32(block + 4, getLe32(block + 4) + 1);
    putLe32(block + 8, kBlockSize - 16);
}

bool CFsuipcServer::walkBlock(std::uint8_t* block, std::size_t size, COffsetSpace& space)
{
    std::size_t pos = 0;
    while (pos + 4 <= size) {
        const std::uint32_t id = getLe32(block + pos);
        if (id == 0)
            break;
        const std::size_t header = id == 1 ? 16 : 12;
        if ((id != 1 && id != 2) || pos + header > size)
            return false;
        const std::uint32_t offset = getLe32(block + pos + 4);
        const std::uint32_t n = getLe32(block + pos + 8);
        if (n > size - pos - header)
            return false;
        if (id == 1)
            space.read(offset, block + pos + header, n);
        else
            space.write(offset, block + pos + header, n);
        pos += header + n;
    }
    space.finishBatch();
    return true;
}
