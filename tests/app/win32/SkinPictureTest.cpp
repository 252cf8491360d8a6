// The skin pictures: PNGs through libpng with their alpha premultiplied for blending, BMPs through
// the system's loader, whether a picture has alpha of its own and its copy without its corner
// colour, wide file names, and the message that names a file that cannot be read.
#include "SkinPicture.h"

#include "TestPictures.h"
#include "Win32Text.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>
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

TEST_F(SkinPictureTest, PngHasAlphaOfItsOwnByAnAlphaChannelOrATransparentColour)
{
    const std::wstring Rgb = PathOf(L"Rgb.png");
    WritePng(Rgb, 2, 1, { 255, 0, 255, 10, 20, 30 }, PNG_FORMAT_RGB);
    const auto Plain = ReadPngPicture(Rgb);
    EXPECT_FALSE(Plain->HasAlpha());
    // Read opaque all the same, so that it blends as it always did.
    EXPECT_EQ(Pixels(*Plain), (std::vector<uint8_t>{ 255, 0, 255, 255, 30, 20, 10, 255 }));

    const std::wstring Palette = PathOf(L"Palette.png");
    WritePng(Palette, 2, 1, { 0, 1 }, PNG_FORMAT_RGB_COLORMAP, { 255, 0, 255, 10, 20, 30 });
    EXPECT_FALSE(ReadPngPicture(Palette)->HasAlpha());

    // A palette with a transparent entry: no alpha channel, but a tRNS chunk.
    const std::wstring Keyed = PathOf(L"Keyed.png");
    WritePng(Keyed, 2, 1, { 0, 1 }, PNG_FORMAT_RGBA_COLORMAP, { 255, 0, 255, 0, 10, 20, 30, 255 });
    std::ifstream File(fs::path(Keyed), std::ios::binary);
    const std::string Bytes{ std::istreambuf_iterator<char>(File), {} };
    ASSERT_NE(Bytes.find("tRNS"), std::string::npos);
    ASSERT_NE(Bytes.find("PLTE"), std::string::npos);
    EXPECT_TRUE(ReadPngPicture(Keyed)->HasAlpha());
}

// The copy a transparent control draws: the bottom-left colour cleared, the rest opaque, from a
// BMP (bottom-up, 24 bits) and from a PNG without alpha alike.
TEST_F(SkinPictureTest, TheCopyWithoutTheCornerColourLeavesThePictureAsItWas)
{
    // 3 x 2, top row first: green at the top left, magenta at the bottom left and once more.
    const std::vector<uint32_t> Rgb
        = { 0x00A000, 0xFF00FF, 0x102030, 0xFF00FF, 0x00A000, 0xFF00FE };
    const std::vector<uint8_t> Cleared = { 0, 0xA0, 0, 255, 0, 0, 0, 0, 0x30, 0x20, 0x10, 255, //
        0, 0, 0, 0, 0, 0xA0, 0, 255, 0xFE, 0, 0xFF, 255 };
    const std::wstring BmpPath = PathOf(L"Plain.bmp");
    WriteBytes(BmpPath, Bmp(3, 2, Rgb));
    const std::wstring PngPath = PathOf(L"Plain.png");
    std::vector<uint8_t> RgbBytes;
    for (const uint32_t Colour : Rgb)
        RgbBytes.insert(
            RgbBytes.end(), { uint8_t(Colour >> 16), uint8_t(Colour >> 8), uint8_t(Colour) });
    WritePng(PngPath, 3, 2, RgbBytes, PNG_FORMAT_RGB);

    for (const auto& Picture : { ReadBmpPicture(BmpPath), ReadPngPicture(PngPath) }) {
        const auto Copy = Picture->WithoutCornerColour();
        EXPECT_EQ(Copy->Width(), 3);
        EXPECT_EQ(Copy->Height(), 2);
        EXPECT_TRUE(Copy->HasAlpha());
        EXPECT_EQ(Pixels(*Copy), Cleared);
        std::vector<uint32_t> Kept = BitmapPixels(Picture->Bitmap(), 3, 2);
        for (uint32_t& Pixel : Kept)
            Pixel &= 0xFFFFFF;
        EXPECT_EQ(Kept, Rgb);
    }
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
