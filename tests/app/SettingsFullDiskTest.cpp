// The settings written to a disk that fills up: the write fails by name and the old file stays
// whole, never cut short (POSIX: the disk is a limit on the size of the process's files).
#include "FileSizeLimit.h"
#include "SettingsFile.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

TEST(SettingsFullDiskTest, AWriteThatDoesNotFitLeavesTheOldFileWhole)
{
    const TSettingsFile File(SettingsFolder());
    const TSettingValues Old = { { "bitrate", "64" } };
    File.Write(Old);
    const auto OldSize = std::filesystem::file_size(File.Path());
    const TSettingValues Longer = { { "bitrate", "64" }, { "savefolder", std::string(400, 'x') } };
    {
        const TFileSizeLimit Full(OldSize + 10);
        EXPECT_THROW(File.Write(Longer), std::runtime_error);
    }
    EXPECT_EQ(File.Read(), Old);
    EXPECT_EQ(std::filesystem::file_size(File.Path()), OldSize);
    // Nothing half written is left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(File.Path().parent_path()), {}), 1);
    File.Write(Longer); // with room again
    EXPECT_EQ(File.Read(), Longer);
}

} // namespace
