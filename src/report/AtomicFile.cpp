// CAtomicFile: temporary file, flush, rename.
#include "report/AtomicFile.h"

#include "platform/DurableFiles.h"

#include <cerrno>
#include <memory>
#include <system_error>

namespace {

bool writeAll(DurableFile& file, std::string_view content)
{
    while (!content.empty()) {
        const std::size_t n = content.size() < CAtomicFile::kChunkSize ? content.size() : CAtomicFile::kChunkSize;
        if (!file.write(content.data(), n))
            return false;
        content.remove_prefix(n);
    }
    return true;
}

bool fail(const std::string& temp, std::string& error, const std::string& what)
{
    // The system's reason (read-only folder, full disk) is what the pilot can act on.
    const int reason = errno;
    durableFiles().remove(temp);
    error = what + " (" + temp + ")";
    if (reason != 0)
        error += ": " + std::generic_category().message(reason);
    return false;
}

} // namespace

std::string CAtomicFile::temporaryPathFor(const std::string& path)
{
    return path + ".tmp";
}

bool CAtomicFile::write(const std::string& path, std::string_view content, std::string& error)
{
    const std::string temp = temporaryPathFor(path);
    errno = 0;
    std::unique_ptr<DurableFile> file = durableFiles().create(temp);
    if (!file)
        return fail(temp, error, "Could not create the temporary file");
    if (!writeAll(*file, content)) {
        file->close();
        return fail(temp, error, "Could not write the temporary file");
    }
    if (!file->flushToDisk()) {
        file->close();
        return fail(temp, error, "Could not flush the temporary file");
    }
    if (!file->close())
        return fail(temp, error, "Could not close the temporary file");
    if (!durableFiles().replace(temp, path))
        return fail(temp, error, "Could not rename the temporary file over " + path);
    error.clear();
    return true;
}
