// Saves that fail part-way keep the previous file whole, for the atomic writer
// on its own and for the store's save.
#include "report/AtomicFile.h"
#include "platform/DurableFiles.h"
#include "report/IniParser.h"

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

enum class FailAt { Nothing, Create, Write, Flush, Close, Rename };

// Real files that stop at a chosen step; a failing write leaves the bytes
// already written on disk, as a full disk does.
class FailingFiles final : public DurableFiles {
public:
    FailAt failAt = FailAt::Nothing;
    std::size_t bytesBeforeFailure = 0;

    std::unique_ptr<DurableFile> create(const std::string& path) override
    {
        if (failAt == FailAt::Create)
            return nullptr;
        auto inner = real.create(path);
        if (!inner)
            return nullptr;
        return std::make_unique<File>(std::move(inner), *this);
    }
    bool replace(const std::string& from, const std::string& to) override
    {
        return failAt != FailAt::Rename && real.replace(from, to);
    }
    bool remove(const std::string& path) override { return real.remove(path); }

private:
    class File final : public DurableFile {
    public:
        File(std::unique_ptr<DurableFile> f, FailingFiles& o) : inner(std::move(f)), owner(o) {}
        bool write(const char* data, std::size_t size) override
        {
            if (owner.failAt != FailAt::Write)
                return inner->write(data, size);
            const std::size_t room = owner.bytesBeforeFailure - written;
            const std::size_t n = size < room ? size : room;
            inner->write(data, n);
            written += n;
            return n == size;
        }
        bool flushToDisk() override { return owner.failAt != FailAt::Flush && inner->flushToDisk(); }
        bool close() override { return inner->close() && owner.failAt != FailAt::Close; }

    private:
        std::unique_ptr<DurableFile> inner;
        FailingFiles& owner;
        std::size_t written = 0;
    };

    StdioDurableFiles real;
};

// Installs files for one test and restores the portable ones however it ends.
struct ScopedFiles {
    explicit ScopedFiles(DurableFiles* files) { setDurableFiles(files); }
    ~ScopedFiles() { setDurableFiles(nullptr); }
    ScopedFiles(const ScopedFiles&) = delete;
    ScopedFiles& operator=(const ScopedFiles&) = delete;
};

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
