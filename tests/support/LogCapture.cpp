// LogCapture: remembers file sizes, returns what was appended.
#include "support/LogCapture.h"

#include "core/ClientConfig.h"

#include <filesystem>
#include <fstream>

namespace {
std::vector<std::string> logFiles()
{
    namespace fs = std::filesystem;
    std::vector<std::string> files;
    std::error_code ec;
    const std::string folder = CClientConfig::getInstance().getDataFolder();
    for (fs::directory_iterator it(folder.empty() ? "." : folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.rfind("quenvale_debug.", 0) == 0)
            files.push_back(it->path().string());
    }
    return files;
}
} // namespace

LogCapture::LogCapture()
{
    reset();
}

void LogCapture::reset()
{
    offsets.clear();
    std::error_code ec;
    for (const std::string& f : logFiles())
        offsets[f] = std::filesystem::file_size(f, ec);
}

std::vector<std::string> LogCapture::lines() const
{
    std::vector<std::string> out;
    for (const std::string& f : logFiles()) {
        std::ifstream in(f, std::ios::binary);
        auto it = offsets.find(f);
        if (it != offsets.end())
            in.seekg(static_cast<std::streamoff>(it->second));
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back(); // Windows writes the log in text mode
            out.push_back(line);
        }
    }
    return out;
}

std::vector<std::string> LogCapture::matching(const std::string& text) const
{
    std::vector<std::string> out;
    for (const std::string& l : lines()) {
        if (l.find(text) != std::string::npos)
            out.push_back(l);
    }
    return out;
}
