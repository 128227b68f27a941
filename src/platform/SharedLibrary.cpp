// Registry of the process's SharedLibraryLoader.
#include "platform/SharedLibrary.h"

namespace {
class NoLoader final : public SharedLibraryLoader {
public:
    std::unique_ptr<SharedLibrary> load(const std::string&, std::string& error) override
    {
        error = "no library loader installed";
        return nullptr;
    }
};

NoLoader g_noLoader;
SharedLibraryLoader* g_loader = &g_noLoader;
} // namespace

SharedLibraryLoader& sharedLibraryLoader()
{
    return *g_loader;
}

void setSharedLibraryLoader(SharedLibraryLoader* loader)
{
    g_loader = loader != nullptr ? loader : &g_noLoader;
}
