#include "ACS_FileOut.h"
#include "OpenFileCheck.h"

#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <unistd.h>

namespace {

// A file sink with no run logic of its own, enough to look at its settings.
class TBareFileOut : public TACSFileOut {
public:
    TBareFileOut()
        : TACSFileOut(nullptr)
    {
    }
    ~TBareFileOut() override { TerminateWorker(); }

protected:
    bool DoOutput(bool) override { return false; }
    void Done() override { }
    void Prepare() override { }
};

TEST(FileOutTest, FileModeAlwaysReadsRewrite)
{
    TBareFileOut Out;
    EXPECT_EQ(Out.GetFileMode(), foRewrite);
    Out.SetFileMode(foAppend);
    EXPECT_EQ(Out.GetFileMode(), foRewrite);
}

TEST(FileOutTest, ClosedStreamRefusesWritesAndClosesOnce)
{
    const auto Name = std::filesystem::temp_directory_path()
        / ("corvatone-closed-stream-" + std::to_string(getpid()) + ".bin");
    TFileStream Stream(Name.string());
    // Also shows that the check the sink tests rely on sees an open file on this platform.
    EXPECT_TRUE(FileIsOpen(Name.string()));
    Stream.Close();
    EXPECT_FALSE(FileIsOpen(Name.string()));
    EXPECT_NO_THROW(Stream.Close());
    EXPECT_THROW(Stream.Write("x", 1), EWriteError);
    std::filesystem::remove(Name);
}

std::string Utf8(const std::u8string& Text)
{
    return std::string(Text.begin(), Text.end());
}

// Names outside any single code page: Cyrillic, Latin with diacritics and a symbol outside the
// Basic Multilingual Plane's letters.
TEST(FileOutTest, StreamCreatesAFileNamedWithAnyUnicodeLetters)
{
    const auto Root = std::filesystem::temp_directory_path()
        / ("corvatone-unicode-" + std::to_string(getpid()));
    const std::filesystem::path Folder = Root / u8"Записи";
    std::filesystem::create_directories(Folder);
    const std::string Name = Utf8((Folder / u8"Ünïcödé ☃.mp3").u8string());
    {
        TFileStream Stream(Name);
        EXPECT_EQ(Stream.GetFileName(), Name);
        Stream.Write("abc", 3);
        Stream.Close();
    }
    std::vector<std::string> Names;
    for (const auto& Entry : std::filesystem::directory_iterator(Folder))
        Names.push_back(Utf8(Entry.path().filename().u8string()));
    EXPECT_EQ(Names, std::vector<std::string>{ Utf8(u8"Ünïcödé ☃.mp3") });
    std::ifstream In(
        std::filesystem::path(std::u8string(Name.begin(), Name.end())), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(In), {}), "abc");
    In.close();

    // A failure names the path as it was given, letters intact.
    const std::string Missing = Utf8((Root / u8"Нет" / u8"☃.mp3").u8string());
    try {
        TFileStream Stream(Missing);
        ADD_FAILURE() << "a file in a missing folder was created";
    } catch (const EFCreateError& E) {
        EXPECT_THAT(E.what(), testing::HasSubstr("\"" + Missing + "\""));
    }
    std::filesystem::remove_all(Root);
}

} // namespace
