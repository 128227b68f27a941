// The portable core builds for every platform: none of its files may include
// an operating-system or toolkit header.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

TEST(PortableCore, IncludesNoOsOrToolkitHeader)
{
    namespace fs = std::filesystem;
    const std::regex forbidden(
        R"(^\s*#\s*include\s*<(windows\.h|winhttp\.h|winsock2\.h|ws2tcpip\.h|netinet/|arpa/|netdb\.h|gtk/|gdk/|glib|curl/|sys/|unistd\.h|dlfcn\.h|pthread\.h|X11/|fcntl\.h|canberra)[^>]*>)");
    int files = 0;
    for (const char* folder : {"core", "sim", "monitor", "recorder", "server", "report", "ui", "update", "client"}) {
        const fs::path root = fs::path(QVL_SOURCE_DIR) / "src" / folder;
        if (!fs::exists(root))
            continue;
        for (const auto& entry : fs::recursive_directory_iterator(root)) {
            if (!entry.is_regular_file())
                continue;
            ++files;
            std::ifstream in(entry.path());
            std::string line;
            for (int n = 1; std::getline(in, line); ++n)
                EXPECT_FALSE(std::regex_search(line, forbidden)) << entry.path() << ":" << n << ": " << line;
        }
    }
    EXPECT_GT(files, 10);
}
