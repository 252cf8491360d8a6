#include "ACS_FileOut.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace {

std::string ReadAll(const std::string& FileName)
{
    std::ifstream In(FileName, std::ios::binary);
    return {std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>()};
}

class FileStreamTest : public testing::Test {
protected:
    void SetUp() override
    {
        Dir = std::filesystem::temp_directory_path() /
              ("corvatone-filestream-" + std::to_string(getpid()));
        std::filesystem::create_directories(Dir);
    }
    void TearDown() override { std::filesystem::remove_all(Dir); }
    std::filesystem::path Dir;
};

TEST_F(FileStreamTest, CreatesAMissingFileAndTruncatesAnExistingOne)
{
    const std::string Name = (Dir / "out.bin").string();
    {
        TFileStream Stream(Name);
        Stream.Write("first run, longer", 17);
        Stream.Close();
    }
    EXPECT_EQ(ReadAll(Name), "first run, longer");
    {
        TFileStream Stream(Name);
        Stream.Write("second", 6);
        Stream.Close();
    }
    EXPECT_EQ(ReadAll(Name), "second");
}

TEST_F(FileStreamTest, CreationErrorNamesTheFullPathAndTheReason)
{
    const auto Previous = std::filesystem::current_path();
    std::filesystem::current_path(Dir);
    try {
        TFileStream Stream("no-such-folder/out.mp3");
        ADD_FAILURE() << "the file was created";
    } catch (const EFCreateError& E) {
        const std::string Message = E.what();
        EXPECT_NE(Message.find((Dir / "no-such-folder/out.mp3").string()), std::string::npos)
            << Message;
        EXPECT_NE(Message.find("No such file or directory"), std::string::npos) << Message;
    }
    std::filesystem::current_path(Previous);
}

TEST_F(FileStreamTest, WriteToAFullDeviceRaisesNamingTheFile)
{
    TFileStream Stream("/dev/full");
    try {
        Stream.Write("x", 1);
        ADD_FAILURE() << "the write was reported as done";
    } catch (const EWriteError& E) {
        const std::string Message = E.what();
        EXPECT_NE(Message.find("\"/dev/full\""), std::string::npos) << Message;
        EXPECT_NE(Message.find("No space left on device"), std::string::npos) << Message;
    }
}

TEST_F(FileStreamTest, AClosedStreamRefusesWritesAndClosesOnce)
{
    TFileStream Stream((Dir / "closed.bin").string());
    Stream.Close();
    EXPECT_NO_THROW(Stream.Close());
    EXPECT_THROW(Stream.Write("x", 1), EWriteError);
    EXPECT_NO_THROW(Stream.Write("x", 0));
}

// A file sink with no run logic of its own, enough to look at its settings.
class TBareFileOut : public TACSFileOut {
public:
    TBareFileOut() : TACSFileOut(nullptr) {}
    ~TBareFileOut() override { TerminateWorker(); }

protected:
    bool DoOutput(bool) override { return false; }
    void Done() override {}
    void Prepare() override {}
};

TEST(FileOutTest, FileModeAlwaysReadsRewrite)
{
    TBareFileOut Out;
    EXPECT_EQ(Out.GetFileMode(), foRewrite);
    Out.SetFileMode(foAppend);
    EXPECT_EQ(Out.GetFileMode(), foRewrite);
    EXPECT_EQ(Out.GetFileName(), "");
}

}  // namespace
