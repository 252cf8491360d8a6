// The settings file: what it holds, what reads as damaged, a replacement that never leaves a part
// of a file, and the checks of each kept value before the window shows it.
#include "SettingsFile.h"

#include "WindowSettings.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace {

class SettingsFileTest : public testing::Test {
protected:
    // Each test has a settings folder of its own (SettingsPerTest.cpp).
    std::filesystem::path Folder = SettingsFolder() / "kept";
    TSettingsFile File{ Folder };

    void WriteRaw(const std::string& Text)
    {
        std::filesystem::create_directories(Folder);
        std::ofstream(File.Path(), std::ios::binary) << Text;
    }
    std::string ReadRaw() const
    {
        std::ifstream In(File.Path(), std::ios::binary);
        return { std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>() };
    }
};

TEST_F(SettingsFileTest, KeepsItsValuesAsLinesOfUtf8)
{
    const TSettingValues Values = { { "samplerate", "22050" },
        { "savefolder", "/home/\xd0\xbc\xd0\xb8\xd1\x80/a=b" }, { "input", "hw:CARD=PCH,DEV=0" } };
    File.Write(Values); // the folder is created
    EXPECT_EQ(ReadRaw(),
        "# Corvatone settings\ninput=hw:CARD=PCH,DEV=0\nsamplerate=22050\n"
        "savefolder=/home/\xd0\xbc\xd0\xb8\xd1\x80/a=b\n");
    EXPECT_EQ(File.Read(), Values);
    // A second write replaces the whole file, and leaves no temporary one.
    File.Write({ { "bitrate", "64" } });
    EXPECT_EQ(File.Read(), (TSettingValues{ { "bitrate", "64" } }));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Folder), {}), 1);
}

TEST_F(SettingsFileTest, MissingUnreadableOrDamagedFilesReadAsNoValues)
{
    EXPECT_TRUE(File.Read().empty()); // missing
    std::filesystem::create_directories(File.Path()); // a folder where the file would be
    EXPECT_TRUE(File.Read().empty());
    std::filesystem::remove(File.Path());

    // Blank lines, comments and the line ends of Windows are fine.
    WriteRaw("# kept\r\n\r\nbitrate=64\r\nseconds=\n");
    EXPECT_EQ(File.Read(), (TSettingValues{ { "bitrate", "64" }, { "seconds", "" } }));
    for (const std::string& Damaged : {
             std::string("bitrate=64\ngarbage\n"), // a line without a value
             std::string("bit rate=64\n"), // not a key
             std::string("=64\n"),
             std::string("bitrate=6\xff\n"), // not UTF-8
             std::string("bitrate=\xc0\xaf\n"), // overlong
             std::string("bitrate=64\0\n", 12), // a NUL byte
         }) {
        WriteRaw(Damaged);
        EXPECT_TRUE(File.Read().empty()) << Damaged;
    }
    WriteRaw("bitrate=64\n" + std::string(TSettingsFile::MaxBytes, '#'));
    EXPECT_TRUE(File.Read().empty()); // larger than settings can be
}

TEST_F(SettingsFileTest, RefusesValuesThatWouldNotReadBack)
{
    EXPECT_THROW(File.Write({ { "savefolder", "two\nlines" } }), std::invalid_argument);
    EXPECT_THROW(File.Write({ { "save folder", "x" } }), std::invalid_argument);
    EXPECT_THROW(File.Write({ { "savefolder", "\xff" } }), std::invalid_argument);
    EXPECT_FALSE(std::filesystem::exists(File.Path()));
}

// The temporary file cannot be made (a folder stands in its place): the write fails by name and
// the old file stays whole.
TEST_F(SettingsFileTest, AFailedWriteLeavesTheOldFileWhole)
{
    File.Write({ { "bitrate", "64" } });
    const std::string Before = ReadRaw();
    std::filesystem::create_directories(File.Path().string() + ".new");
    try {
        File.Write({ { "bitrate", "320" } });
        FAIL() << "the write did not fail";
    } catch (const std::runtime_error& E) {
        EXPECT_NE(std::string(E.what()).find("Cannot save the settings in"), std::string::npos)
            << E.what();
    }
    EXPECT_EQ(ReadRaw(), Before);
}

TEST(WindowSettingsTest, EachValueIsCheckedOnItsOwn)
{
    const TWindowSettings Read = SettingsOf({ { "input", "mic" }, { "inputname", "Microphone" },
        { "samplerate", "22050" }, { "bitrate", "144" }, { "duration", "nolimit" },
        { "seconds", "60" }, { "savefolder", "/tmp" } });
    EXPECT_EQ(Read.InputId, "mic");
    EXPECT_EQ(Read.InputName, "Microphone");
    EXPECT_EQ(Read.SampleRate, "22050");
    EXPECT_EQ(Read.BitRate, "144"); // at 22050 Hz only
    EXPECT_EQ(Read.NoLimit, true);
    EXPECT_EQ(Read.Seconds, 60);
    EXPECT_EQ(Read.SaveFolder, "/tmp");
    EXPECT_EQ(SettingsOf(ValuesOf(Read)), Read);

    // 144 kbit/s is no rate at 44100 Hz, the form's rate when none is kept.
    EXPECT_EQ(SettingsOf({ { "bitrate", "144" } }).BitRate, "");
    EXPECT_EQ(SettingsOf({ { "samplerate", "48000" } }).SampleRate, "");
    EXPECT_EQ(SettingsOf({ { "duration", "forever" } }).NoLimit, std::nullopt);
    EXPECT_EQ(SettingsOf({ { "duration", "custom" } }).NoLimit, false);
    for (const char* Seconds : { "4", "10801", "60s", "", "-5", "99999999999" })
        EXPECT_EQ(SettingsOf({ { "seconds", Seconds } }).Seconds, std::nullopt) << Seconds;
    EXPECT_EQ(SettingsOf({ { "seconds", "5" } }).Seconds, 5);
    EXPECT_EQ(SettingsOf({ { "seconds", "10800" } }).Seconds, 10800);
    // A name without its input means nothing.
    EXPECT_EQ(SettingsOf({ { "inputname", "Microphone" } }).InputName, "");
}

TEST(WindowSettingsTest, FolderOfAFileNameWithEitherSeparator)
{
    EXPECT_EQ(FolderOf("/home/me/take.mp3"), "/home/me");
    EXPECT_EQ(FolderOf("/take.mp3"), "/");
    EXPECT_EQ(FolderOf("C:\\Users\\me\\take.mp3"), "C:\\Users\\me");
    EXPECT_EQ(FolderOf("C:\\take.mp3"), "C:\\");
    EXPECT_EQ(FolderOf("take.mp3"), "");
}

} // namespace
