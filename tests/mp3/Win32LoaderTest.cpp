// The encoder library as the recorder looks for it on Windows, from an executable that has a
// "lame_enc.dll" beside it: that copy is the one loaded, whatever the current directory holds.
#include "ACS_LAME.h"
#include "Win32LoaderTestSupport.h"
#include "lame.h"

#include <gtest/gtest.h>

namespace {

using namespace Win32LoaderTest;
using lame::Loader::Win32::ApplicationFolder;

class EncoderLibraryBesideTheExecutable : public testing::TestWithParam<TSearch> { };

TEST_P(EncoderLibraryBesideTheExecutable, IsFoundThereRatherThanInTheCurrentDirectory)
{
    TPlantedLibrary Other(FAKE_LAME_WITHOUT_FLUSH_PATH, "current");
    TCurrentDirectory Current(Other.Folder());
    HMODULE Library = GetParam().Open("lame_enc.dll");
    ASSERT_NE(Library, nullptr);
    EXPECT_TRUE(SameFolder(ModulePath(Library).parent_path(), ApplicationFolder()))
        << "loaded " << ModulePath(Library);
    FreeLibrary(Library);
}

INSTANTIATE_TEST_SUITE_P(
    Searches, EncoderLibraryBesideTheExecutable, testing::ValuesIn(Searches), SearchName);

TEST(EncoderLibraryBesideTheExecutableForTheSink, SinkLoadsItAndTheLastSinkReleasesIt)
{
    TPlantedLibrary Other(FAKE_LAME_WITHOUT_FLUSH_PATH, "current");
    TCurrentDirectory Current(Other.Folder());
    {
        TMP3Out Out(nullptr);
        ASSERT_TRUE(lame::EncoderLibraryLoaded());
        const HMODULE Library = static_cast<HMODULE>(lame::EncoderLibraryHandle());
        EXPECT_TRUE(SameFolder(ModulePath(Library).parent_path(), ApplicationFolder()))
            << "loaded " << ModulePath(Library);
        EXPECT_NE(lame::lame_encode_flush, nullptr) << "the current directory's copy lacks it";
    }
    EXPECT_FALSE(lame::EncoderLibraryLoaded());
    EXPECT_EQ(GetModuleHandleA("lame_enc.dll"), nullptr) << "the last sink kept the library";
}

} // namespace
