// Registry of the process's SharedLibraryLoader.
#include "platform/SharedLibrary.h"
#include "platform/SeamSlot.h"

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
constinit SeamSlot<SharedLibraryLoader> g_loader{g_noLoader};
} // namespace

SharedLibraryLoader& sharedLibraryLoader()
{
    return g_loader.get();
}

void setSharedLibraryLoader(SharedLibraryLoader* loader)
{
    g_loader.install(loader);
}
