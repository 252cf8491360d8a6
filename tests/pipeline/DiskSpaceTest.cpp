// The room a recording needs, and the free space of the file system that will hold its file:
// asked of the nearest existing folder, and seen shrink on a small file system.
#include "DiskSpace.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <unistd.h>
#if __has_include(<sys/mount.h>)
#include <sys/mount.h>
#endif

namespace {

namespace fs = std::filesystem;

TEST(DiskSpaceTest, StreamIsBitRateTimesDurationAndTheMarginCoversFramesTagAndUnit)
{
    EXPECT_EQ(Mp3StreamBytes(10800, 320), 432000000u); // three hours at the highest rate
    EXPECT_EQ(Mp3StreamBytes(5, 40), 25000u);
    EXPECT_EQ(Mp3StreamBytes(0, 128), 0u);
    EXPECT_EQ(Mp3StreamBytes(60, -1), 0u);
    // 128 kbit/s at 44100 Hz: frames of at most 418 + 1 bytes; 4 frames and the 8 of a last
    // buffer (8192 mono frames), a 4 KiB tag and a 64 KiB unit.
    EXPECT_EQ(Mp3FileMargin(128, 44100), 12u * 419 + 4096 + 65536);
    // 22050 Hz: half-length frames of at most 262 + 1 bytes at 80 kbit/s; 4 + 15 of them.
    EXPECT_EQ(Mp3FileMargin(80, 22050), 19u * 263 + 4096 + 65536);
    EXPECT_EQ(Mp3FileBytes(60, 128, 44100), 960000u + Mp3FileMargin(128, 44100));
}

TEST(DiskSpaceTest, AFileNotYetCreatedIsAskedOfItsNearestExistingFolder)
{
    const fs::path Folder = fs::temp_directory_path();
    const auto OfFolder = FreeBytesFor(Folder.string());
    ASSERT_TRUE(OfFolder.has_value());
    EXPECT_GT(*OfFolder, 0u);
    const auto OfNewFile = FreeBytesFor((Folder / "no-such-folder" / "deeper" / "x.mp3").string());
    ASSERT_TRUE(OfNewFile.has_value());
    // The same file system; other programs may write to it in between.
    EXPECT_NEAR(double(*OfNewFile), double(*OfFolder), 64.0 * 1024 * 1024);
}

// Recording to an existing file truncates it: its bytes are room for the new take.
TEST(DiskSpaceTest, TheFileARunReplacesIsCountedAsRoom)
{
    const fs::path Folder = fs::temp_directory_path()
        / ("corvatone-replaced-" + std::to_string(std::random_device{}()));
    fs::remove_all(Folder);
    fs::create_directories(Folder / "folder.mp3");
    {
        std::ofstream File(Folder / "take.mp3", std::ios::binary);
        File << std::string(123457, 'x');
    }
    EXPECT_EQ(ReplacedFileBytes((Folder / "take.mp3").string()), 123457u);
    EXPECT_EQ(ReplacedFileBytes((Folder / "new.mp3").string()), 0u);
    EXPECT_EQ(ReplacedFileBytes((Folder / "no-such-folder" / "new.mp3").string()), 0u);
    // A folder is not replaced: the run cannot create its file there.
    EXPECT_EQ(ReplacedFileBytes((Folder / "folder.mp3").string()), 0u);
    std::error_code Ignored;
    fs::remove_all(Folder, Ignored);
}

#if __has_include(<sys/mount.h>)
// A tmpfs of 300 KiB, where the system lets this process mount one (root in a sandbox).
class SmallFileSystemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Folder = fs::temp_directory_path() / ("corvatone-small-fs-" + std::to_string(getpid()));
        fs::create_directories(Folder);
        if (mount("tmpfs", Folder.c_str(), "tmpfs", 0, "size=300k") != 0) {
            fs::remove(Folder);
            GTEST_SKIP() << "no permission to mount a tmpfs here";
        }
        Mounted = true;
    }
    void TearDown() override
    {
        if (Mounted)
            umount(Folder.c_str());
        std::error_code Ignored;
        fs::remove(Folder, Ignored);
    }
    fs::path Folder;
    bool Mounted = false;
};

TEST_F(SmallFileSystemTest, FreeSpaceIsTheSmallFileSystemsAndShrinksAsAFileGrows)
{
    const auto Empty = FreeBytesFor((Folder / "take.mp3").string());
    ASSERT_TRUE(Empty.has_value());
    EXPECT_EQ(*Empty, 300u * 1024);
    {
        std::ofstream File(Folder / "take.mp3", std::ios::binary);
        const std::string Block(100 * 1024, 'x');
        File << Block;
    }
    const auto After = FreeBytesFor((Folder / "take.mp3").string());
    ASSERT_TRUE(After.has_value());
    EXPECT_EQ(*After, 200u * 1024);
    // Less than a minute at 40 kbit/s (300 000 bytes) is left.
    EXPECT_LT(*After, Mp3StreamBytes(60, 40));
}
#endif

} // namespace
