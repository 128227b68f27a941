// MD5 against the RFC 1321 test suite, through every entry point.
#include "server/HlException.h"
#include "server/Md5.h"
#include "server/Md5Wrapper.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

struct Md5Case {
    const char* text;
    const char* digest;
};

class Md5Suite : public ::testing::TestWithParam<Md5Case> {};

TEST_P(Md5Suite, StringFileAndWrapperAgreeWithRfc)
{
    const Md5Case& c = GetParam();
    EXPECT_EQ(md5Hex(c.text), c.digest);
    md5wrapper wrapper;
    EXPECT_EQ(wrapper.getHashFromString(c.text), c.digest);

    const std::filesystem::path file = std::filesystem::temp_directory_path() / ("qvl-md5-case-" + std::to_string(::getpid()) + ".bin");
    {
        std::ofstream out(file, std::ios::binary);
        out << c.text;
    }
    EXPECT_EQ(md5HexOfFile(file.string()), c.digest);
    std::filesystem::remove(file);
}

INSTANTIATE_TEST_SUITE_P(
    Rfc1321, Md5Suite,
    ::testing::Values(
        Md5Case{"", "d41d8cd98f00b204e9800998ecf8427e"}, Md5Case{"a", "0cc175b9c0f1b6a831c399e269772661"},
        Md5Case{"abc", "900150983cd24fb0d6963f7d28e17f72"},
        Md5Case{"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        Md5Case{"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        Md5Case{"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
        Md5Case{"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
                "57edf4a22be3c955ac49da2e2107b67a"}));

TEST(Md5, PiecewiseUpdatesAcrossBlockBordersMatchOneShot)
{
    std::string text(3000, '\0');
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<char>(i * 7);
    for (std::size_t piece : {1u, 63u, 64u, 65u, 1024u}) {
        CMd5 md5;
        for (std::size_t i = 0; i < text.size(); i += piece) {
            const std::size_t n = std::min(piece, text.size() - i);
            md5.update(reinterpret_cast<const unsigned char*>(text.data() + i), n);
        }
        EXPECT_EQ(CMd5::toHex(md5.finish()), md5Hex(text)) << piece;
    }
}

TEST(Md5, WrapperIsReusableAfterADigest)
{
    md5wrapper wrapper;
    wrapper.getHashFromString("something else");
    EXPECT_EQ(wrapper.getHashFromString("abc"), "900150983cd24fb0d6963f7d28e17f72");
}

TEST(Md5, MissingFileThrowsWithItsPath)
{
    try {
        md5HexOfFile("/nonexistent/qvl.ini");
        FAIL() << "no exception";
    } catch (const hlException& e) {
        EXPECT_EQ(e.error_message(), "Cannot read file \"/nonexistent/qvl.ini\".");
    }
}

} // namespace
