#include "ACS_FileOut.h"
#include "OpenFileCheck.h"

#include <filesystem>
#include <gtest/gtest.h>
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

} // namespace
