// The skin pictures: PNGs through libpng with their alpha premultiplied for blending, BMPs through
// the system's loader, wide file names, and the message that names a file that cannot be read.
#include "SkinPicture.h"

#include "TestPictures.h"
#include "Win32Text.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>
#include <vector>

namespace {

namespace fs = std::filesystem;

class SkinPictureTest : public testing::Test {
protected:
    void SetUp() override
    {
        FFolder = fs::temp_directory_path()
            / (L"corvatone-skin-" + std::to_wstring(GetCurrentProcessId()));
        fs::create_directories(FFolder);
    }
    void TearDown() override { fs::remove_all(FFolder); }

    std::wstring PathOf(const std::wstring& Name) const { return (FFolder / Name).wstring(); }

    // The picture's pixels as B, G, R, A bytes, top row first.
    static std::vector<uint8_t> Pixels(const TSkinPicture& Picture)
    {
        DIBSECTION Section{};
        EXPECT_EQ(GetObjectW(Picture.Bitmap(), sizeof(Section), &Section), int(sizeof(Section)));
        const auto* Bits = static_cast<const uint8_t*>(Section.dsBm.bmBits);
        return std::vector<uint8_t>(Bits, Bits + Picture.Width() * Picture.Height() * 4);
    }

    static std::string MessageOf(const std::function<void()>& Read)
    {
        try {
            Read();
        } catch (const std::runtime_error& E) {
            return E.what();
        }
        ADD_FAILURE() << "no error raised";
        return {};
    }

    fs::path FFolder;
};

} // namespace

TEST_F(SkinPictureTest, PngKeepsItsSizeAndItsAlphaPremultipliedForBlending)
{
    const std::wstring Path = PathOf(L"CloseB.png");
    WritePng(Path, 2, 1, { 255, 0, 0, 128, 10, 20, 30, 255 });
    const auto Picture = ReadPngPicture(Path);
    EXPECT_EQ(Picture->Width(), 2);
    EXPECT_EQ(Picture->Height(), 1);
    EXPECT_TRUE(Picture->HasAlpha());
    const std::vector<uint8_t> Expected = { 0, 0, 128, 128, 30, 20, 10, 255 };
    EXPECT_EQ(Pixels(*Picture), Expected);
}

TEST_F(SkinPictureTest, PngAndBmpReadFromAFolderWithNonAsciiLetters)
{
    const std::wstring Folder = L"\u0417\u0430\u043F\u0438\u0441\u0438 \u2603";
    const std::wstring Png = PathOf(Folder + L"\\\u00DCn\u00EFc\u00F6d\u00E9.png");
    WritePng(Png, 3, 2, std::vector<uint8_t>(3 * 2 * 4, 255));
    EXPECT_EQ(ReadPngPicture(Png)->Width(), 3);

    const std::wstring Bmp = PathOf(Folder + L"\\\u00DCn\u00EFc\u00F6d\u00E9.bmp");
    WriteBytes(Bmp, ::Bmp(5, 3, std::vector<uint32_t>(5 * 3, 0x030201)));
    const auto Picture = ReadBmpPicture(Bmp);
    EXPECT_EQ(Picture->Width(), 5);
    EXPECT_EQ(Picture->Height(), 3);
    EXPECT_FALSE(Picture->HasAlpha());
}

TEST_F(SkinPictureTest, MissingOrBrokenFilesAreReportedWithTheirNames)
{
    const std::wstring Missing = PathOf(L"Missing.png");
    const std::string Prefix = "Cannot read image file " + Utf8FromWide(Missing) + ": ";
    EXPECT_EQ(MessageOf([&] { ReadPngPicture(Missing); }).rfind(Prefix, 0), 0u);

    const std::wstring Broken = PathOf(L"Broken.png");
    WriteBytes(Broken, { 0x89, 'P', 'N', 'G', 1, 2, 3, 4, 5 });
    const std::string BrokenMessage = MessageOf([&] { ReadPngPicture(Broken); });
    EXPECT_EQ(BrokenMessage.rfind("Cannot read image file " + Utf8FromWide(Broken) + ": ", 0), 0u)
        << BrokenMessage;

    // A PNG cut short after its header fails in the middle of decoding.
    const std::wstring Cut = PathOf(L"Cut.png");
    WritePng(Cut, 40, 40, std::vector<uint8_t>(40 * 40 * 4, 7));
    fs::resize_file(Cut, 60);
    EXPECT_NE(MessageOf([&] { ReadPngPicture(Cut); }).find("Cut.png"), std::string::npos);

    const std::wstring MissingBmp = PathOf(L"RecBut.bmp");
    EXPECT_EQ(MessageOf([&] {
        ReadBmpPicture(MissingBmp);
    }).rfind("Cannot read image file " + Utf8FromWide(MissingBmp) + ": ", 0),
        0u);
    const std::wstring NotBmp = PathOf(L"StopBut.bmp");
    WriteBytes(NotBmp, { 'B', 'M', 0, 0 });
    EXPECT_NE(MessageOf([&] { ReadBmpPicture(NotBmp); }).find("StopBut.bmp"), std::string::npos);
}
