// Linked into every test program: gives the process a private data folder so
// log channels and store files never touch the user's own, and restores the
// system clock after each test.
#include "platform/Clock.h"
#include "platform/headless/FixedSystemInfo.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

class TestEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        namespace fs = std::filesystem;
        root = fs::temp_directory_path() / ("quenvale-test-" + std::to_string(::getpid()));
        fs::create_directories(root);
        info.dataFolder = root.string() + "/";
        setSystemInfo(&info);
    }
    void TearDown() override
    {
        setSystemInfo(nullptr);
        std::error_code ec;
        if (std::getenv("QVL_KEEP_TEST_DATA") == nullptr)
            std::filesystem::remove_all(root, ec);
    }

private:
    std::filesystem::path root;
    FixedSystemInfo info;
};

const bool registered = [] {
    ::testing::AddGlobalTestEnvironment(new TestEnvironment);
    return true;
}();

} // namespace
