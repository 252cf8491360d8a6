// The encoder library as the recorder looks for it on Windows, from an executable that has no
// "lame_enc.dll" beside it: the sink reports the missing library, and a library planted in the
// current directory or on the PATH is not taken for it.
#include "ACS_LAME.h"
#include "Win32LoaderTestSupport.h"
#include "lame.h"

#include <gtest/gtest.h>

namespace {

using namespace Win32LoaderTest;
using lame::Loader::Win32::ApplicationFolder;

class NoEncoderLibraryBesideTheExecutable : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(
            std::filesystem::exists(std::filesystem::path(ApplicationFolder()) / "lame_enc.dll"))
            << "these cases need an executable without the library beside it";
    }
    void TearDown() override { lame::UnloadEncoderLibrary(); }
};

void ExpectNoSink()
{
    try {
        TMP3Out Out(nullptr);
        ADD_FAILURE() << "a sink was made without the encoder library";
    } catch (const EACSException& E) {
        EXPECT_STREQ(E.what(), "lame_enc.dll library could not be loaded.");
    }
    EXPECT_FALSE(lame::EncoderLibraryLoaded());
    EXPECT_EQ(lame::EncoderLibraryHandle(), nullptr);
    EXPECT_EQ(GetModuleHandleA("lame_enc.dll"), nullptr) << "a library was left loaded";
}

TEST_F(NoEncoderLibraryBesideTheExecutable, SinkReportsTheMissingLibrary)
{
    ExpectNoSink();
    ExpectNoSink(); // each sink tries again
}

void ExpectStandardSearchTakes(const std::filesystem::path& Folder, const char* Where)
{
    HMODULE Library = LoadLibraryExA("lame_enc.dll", nullptr, 0);
    ASSERT_NE(Library, nullptr) << "the copy on the " << Where << " cannot be loaded at all";
    EXPECT_TRUE(SameFolder(ModulePath(Library).parent_path(), Folder)) << Where;
    FreeLibrary(Library);
    ASSERT_EQ(GetModuleHandleA("lame_enc.dll"), nullptr);
}

TEST_F(NoEncoderLibraryBesideTheExecutable, StandardSearchOrderWouldTakeAPlantedLibrary)
{
    // What the cases below guard against: with flags 0 either planted copy is found.
    TPlantedLibrary InCurrent(FAKE_LAME_PATH, "current");
    TPlantedLibrary OnPath(FAKE_LAME_PATH, "path");
    {
        TCurrentDirectory Current(InCurrent.Folder());
        ExpectStandardSearchTakes(InCurrent.Folder(), "current directory");
    }
    {
        TPathFront Front(OnPath.Folder());
        ExpectStandardSearchTakes(OnPath.Folder(), "PATH");
    }
}

TEST_F(NoEncoderLibraryBesideTheExecutable, SinkIgnoresALibraryInTheCurrentDirectoryOrOnThePath)
{
    TPlantedLibrary InCurrent(FAKE_LAME_PATH, "current");
    TPlantedLibrary OnPath(FAKE_LAME_PATH, "path");
    TCurrentDirectory Current(InCurrent.Folder());
    TPathFront Front(OnPath.Folder());
    ExpectNoSink();
}

class PlantedEncoderLibrary : public testing::TestWithParam<TSearch> { };

TEST_P(PlantedEncoderLibrary, IsNotFoundInTheCurrentDirectoryOrOnThePath)
{
    TPlantedLibrary InCurrent(FAKE_LAME_PATH, "current");
    TPlantedLibrary OnPath(FAKE_LAME_PATH, "path");
    TCurrentDirectory Current(InCurrent.Folder());
    TPathFront Front(OnPath.Folder());
    HMODULE Library = GetParam().Open("lame_enc.dll");
    EXPECT_EQ(Library, nullptr) << "loaded " << ModulePath(Library);
    if (Library)
        FreeLibrary(Library);
}

INSTANTIATE_TEST_SUITE_P(Searches, PlantedEncoderLibrary, testing::ValuesIn(Searches), SearchName);

} // namespace
