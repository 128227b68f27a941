// Crash-safe replacement of a whole file: the new content goes to a temporary
// file beside the target, is flushed to the disk and then renamed over the
// target. A crash or a full disk leaves either the old file or the new one.
#pragma once

#include <string>
#include <string_view>

class CAtomicFile {
public:
    // Replaces the file at path with content. On failure the old file is
    // untouched, the temporary file is gone and error says what went wrong.
    static bool write(const std::string& path, std::string_view content, std::string& error);

    // The temporary file used for path.
    static std::string temporaryPathFor(const std::string& path);

    // Size of the pieces handed to the file (a full disk shows up part-way).
    static constexpr std::size_t kChunkSize = 16384;
};
