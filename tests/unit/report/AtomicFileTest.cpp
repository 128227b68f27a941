// Saves that fail part-way keep the previous file whole, for the atomic writer
// on its own and for the store's save.
#include "report/AtomicFile.h"
#include "platform/DurableFiles.h"
#include "report/IniParser.h"
#include "support/FailingFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class AtomicFileTest : public ::testing::TestWithParam<FailAt> {
protected:
    void SetUp() override
    {
        dir = std::filesystem::temp_directory_path() /
              ("qvl-atomic-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        path = (dir / "target.ini").string();
        setDurableFiles(&files);
    }
    void TearDown() override
    {
        setDurableFiles(nullptr);
        std::filesystem::remove_all(dir);
    }

    std::filesystem::path dir;
    std::string path;
    FailingFiles files;
};

TEST_P(AtomicFileTest, FailedReplaceKeepsTheOldFileAndLeavesNoTemporary)
{
    std::string error;
    ASSERT_TRUE(CAtomicFile::write(path, "old content\n", error)) << error;

    files.failAt = GetParam();
    files.bytesBeforeFailure = CAtomicFile::kChunkSize + 100; // fails inside the second piece
    const std::string big(3 * CAtomicFile::kChunkSize, 'n');
    EXPECT_FALSE(CAtomicFile::write(path, big, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(readFile(path), "old content\n");
    EXPECT_FALSE(std::filesystem::exists(CAtomicFile::temporaryPathFor(path)));

    files.failAt = FailAt::Nothing;
    ASSERT_TRUE(CAtomicFile::write(path, big, error)) << error;
    EXPECT_EQ(readFile(path), big);
}

INSTANTIATE_TEST_SUITE_P(Steps, AtomicFileTest,
                         ::testing::Values(FailAt::Create, FailAt::Write, FailAt::Flush, FailAt::Close,
                                           FailAt::Rename));

TEST(AtomicFileStoreTest, StoreSaveThatFailsPartWayKeepsThePendingReport)
{
    FailingFiles files;
    ScopedFiles installed(&files);
    CIniParser::destroyInstance();
    CIniParser& store = CIniParser::getInstance();
    const std::string report = store.getReportPath();
    std::string pending(20000, '\0');
    ASSERT_TRUE(store.writeReportStruct(pending.data(), "Report", "Tervix_Reports", pending.size()));
    ASSERT_TRUE(store.writeConfigString("report", "Backup", "1"));
    ASSERT_TRUE(store.save());
    const std::string saved = readFile(report);

    store.resetReport();
    ASSERT_TRUE(store.writeReportString("report", "numeventlogs", "0"));
    files.failAt = FailAt::Write;
    files.bytesBeforeFailure = 5;
    EXPECT_FALSE(store.save());
    EXPECT_EQ(readFile(report), saved);

    files.failAt = FailAt::Nothing;
    CIniParser::destroyInstance();
    EXPECT_EQ(readFile(report).find("Tervix_Reports"), std::string::npos);
}

#ifndef _WIN32
TEST(PlatformDurableFilesTest, WritesFlushesAndReplaces)
{
    auto files = createPlatformDurableFiles();
    const auto dir = std::filesystem::temp_directory_path() / ("qvl-durable-posix-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string target = (dir / "f.ini").string();
    std::string error;
    {
        ScopedFiles installed(files.get());
        EXPECT_TRUE(CAtomicFile::write(target, "first", error)) << error;
        EXPECT_TRUE(CAtomicFile::write(target, "second", error)) << error;
    }
    EXPECT_EQ(readFile(target), "second");
    EXPECT_FALSE(std::filesystem::exists(CAtomicFile::temporaryPathFor(target)));
    EXPECT_FALSE(files->create((dir / "missing" / "x").string()));
    std::filesystem::remove_all(dir);
}
#endif

} // namespace
