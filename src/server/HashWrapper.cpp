// hashwrapper: string and file digests over the engine operations.
#include "server/HashWrapper.h"

#include "core/Utf8Path.h"
#include "server/HlException.h"

#include <fstream>

std::string hashwrapper::getHashFromString(const std::string& text)
{
    resetContext();
    updateContext(reinterpret_cast<const unsigned char*>(text.data()), text.size());
    return hashIt();
}

std::string hashwrapper::getHashFromFile(const std::string& path)
{
    std::ifstream in(utf8Path(path), std::ios::binary);
    if (!in)
        throw hlException(hlException::ErrFileRead, "Cannot read file \"" + path + "\".");
    resetContext();
    char block[1024];
    while (in.read(block, sizeof block) || in.gcount() > 0)
        updateContext(reinterpret_cast<const unsigned char*>(block), static_cast<std::size_t>(in.gcount()));
    return hashIt();
}
