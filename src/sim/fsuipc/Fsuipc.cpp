// CFsuipc: lazy reconnection and the logged texts of the link's error codes.
#include "sim/fsuipc/Fsuipc.h"

#include "core/DebugLog.h"
#include "sim/fsuipc/FsuipcLink.h"

#include <iterator>

namespace {
const char* const kErrorTexts[] = {
    "No error",
    "Attempt to Open when already Open",
    "Cannot link to FSUIPC or WideClient",
    "Failed to Register common message with Windows",
    "Failed to create Atom for mapping filename",
    "Failed to create a file mapping object",
    "Failed to open a view to the file map",
    "Incorrect version of FSUIPC, or not FSUIPC",
    "Sim is not version requested",
    "Call cannot buttonEvent, link not Open",
    "Call cannot buttonEvent: no requests accumulated",
    "IPC timed out all retries",
    "IPC sendmessage failed all retries",
    " IPC request contains bad data",
    "Maybe running on WideClient, but FS not running on Server, or wrong FSUIPC",
    "Read or Write request cannot be added, memory for Process is full",
};
} // namespace

CFsuipc::CFsuipc() : fsuipcLog(std::make_unique<CDebugLog>("CFsuipc"))
{
    CFsuipcLink::instance().close();
    open();
}

CFsuipc::~CFsuipc()
{
    CFsuipcLink::instance().close();
}

const char* CFsuipc::errorText(int code)
{
    if (code < 0 || code >= static_cast<int>(std::size(kErrorTexts)))
        return "Unknown error code";
    return kErrorTexts[code];
}

bool CFsuipc::open()
{
    int result = 0;
    if (!CFsuipcLink::instance().open(0, result)) {
        fsuipcLog->warn(errorText(result));
        return false;
    }
    bOpen = true;
    return true;
}

void CFsuipc::close()
{
    CFsuipcLink::instance().close();
    bOpen = false;
}

bool CFsuipc::ensureOpen()
{
    return bOpen || open();
}

bool CFsuipc::closeOnFailure(bool ok)
{
    if (!ok)
        close();
    return ok;
}

bool CFsuipc::read(std::uint32_t offset, std::uint32_t size, void* destination)
{
    int result = 0;
    return ensureOpen() && closeOnFailure(CFsuipcLink::instance().read(offset, size, destination, result));
}

bool CFsuipc::write(std::uint32_t offset, std::uint32_t size, const void* source)
{
    int result = 0;
    return ensureOpen() && closeOnFailure(CFsuipcLink::instance().write(offset, size, source, result));
}

bool CFsuipc::process()
{
    int result = 0;
    return ensureOpen() && closeOnFailure(CFsuipcLink::instance().process(result));
}
