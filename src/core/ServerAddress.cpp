// CServerAddress: a mutex-guarded text.
#include "core/ServerAddress.h"

#include <mutex>

namespace {
std::mutex g_mutex;
std::string g_url = CServerAddress::kDefaultUrl;
} // namespace

std::string CServerAddress::get()
{
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_url;
}

void CServerAddress::set(const std::string& url)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_url = url;
}
