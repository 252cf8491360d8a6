#include "ACS_Classes.h"
#include "LibraryLoader.h"
#include "lame.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

namespace {

const std::string RealLibrary = lame::Loader::EncoderLibraryFileName();

// A reference of the test's own on a library, so that the test can look names up in it and see
// whether the binding's releases keep their count.
class TLibraryReference {
public:
    explicit TLibraryReference(const std::string& FileName)
        : FHandle(dlopen(FileName.c_str(), RTLD_NOW | RTLD_LOCAL))
    {
    }
    ~TLibraryReference()
    {
        if (FHandle)
            dlclose(FHandle);
    }
    void* Handle() const { return FHandle; }

private:
    void* FHandle;
};

bool IsMapped(const std::string& FileName)
{
    void* Handle = dlopen(FileName.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NOLOAD);
    if (Handle)
        dlclose(Handle);
    return Handle != nullptr;
}

class LameBindingTest : public testing::Test {
protected:
    void TearDown() override
    {
        lame::UnloadEncoderLibrary();
        lame::SetEncoderLibraryFileNameForTests(RealLibrary);
    }
};

TEST_F(LameBindingTest, LoadLooksUpAllEntryPointsByName)
{
    TLibraryReference Real(RealLibrary);
    ASSERT_NE(Real.Handle(), nullptr);
    lame::LoadEncoderLibrary();
    ASSERT_TRUE(lame::EncoderLibraryLoaded());
    EXPECT_EQ(lame::EncoderLibraryHandle(), Real.Handle());
    EXPECT_EQ(lame::EntryPointCount, 112);
    int Found = 0;
#define CHECK_ENTRY_POINT(Name)                                                                    \
    EXPECT_EQ(reinterpret_cast<void*>(lame::Name), dlsym(Real.Handle(), #Name)) << #Name;          \
    Found += lame::Name != nullptr;
    CORVATONE_LAME_ENTRY_POINTS(CHECK_ENTRY_POINT)
#undef CHECK_ENTRY_POINT
    EXPECT_EQ(Found, 112);
}

TEST_F(LameBindingTest, UnloadThenLoadOpensAndLooksUpAnew)
{
    lame::LoadEncoderLibrary();
    ASSERT_NE(lame::lame_get_version, nullptr);
    lame::UnloadEncoderLibrary();
    EXPECT_FALSE(lame::EncoderLibraryLoaded());

    // The fake exports only what the sink calls, so a stale pointer would show.
    lame::SetEncoderLibraryFileNameForTests(FAKE_LAME_PATH);
    lame::LoadEncoderLibrary();
    TLibraryReference Fake(FAKE_LAME_PATH);
    ASSERT_TRUE(lame::EncoderLibraryLoaded());
    EXPECT_EQ(lame::EncoderLibraryHandle(), Fake.Handle());
    EXPECT_EQ(reinterpret_cast<void*>(lame::lame_init), dlsym(Fake.Handle(), "lame_init"));
    EXPECT_EQ(lame::lame_get_version, nullptr);
    EXPECT_EQ(lame::lame_decode, nullptr);
}

TEST_F(LameBindingTest, SecondUnloadReleasesNothing)
{
    lame::SetEncoderLibraryFileNameForTests(FAKE_LAME_PATH);
    TLibraryReference Ours(FAKE_LAME_PATH);
    lame::LoadEncoderLibrary();
    lame::UnloadEncoderLibrary();
    lame::UnloadEncoderLibrary();
    EXPECT_TRUE(IsMapped(FAKE_LAME_PATH)) << "the second unload dropped the test's reference";
}

TEST_F(LameBindingTest, MissingEntryPointIsRefusedByName)
{
    lame::SetEncoderLibraryFileNameForTests(FAKE_LAME_PATH);
    lame::LoadEncoderLibrary();
    try {
        lame::RequireEntryPoint(lame::lame_get_version, "lame_get_version");
        ADD_FAILURE() << "a missing entry point was accepted";
    } catch (const EACSException& E) {
        EXPECT_STREQ(E.what(), "The encoder library has no entry point \"lame_get_version\".");
    }
    EXPECT_EQ(lame::RequireEntryPoint(lame::lame_init, "lame_init"), lame::lame_init);
}

} // namespace
