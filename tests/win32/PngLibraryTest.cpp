// The statically cross-built libpng with MinGW's static zlib: a picture survives a round trip
// through memory, and a damaged file is reported through libpng's error path (which unwinds with
// longjmp) instead of crashing.
#include <cstdint>
#include <gtest/gtest.h>
#include <png.h>
#include <vector>

namespace {

constexpr int Width = 7;
constexpr int Height = 5;

std::vector<uint8_t> Picture()
{
    std::vector<uint8_t> Pixels(Width * Height * 4);
    for (std::size_t I = 0; I < Pixels.size(); ++I)
        Pixels[I] = static_cast<uint8_t>(I * 37 + 11);
    return Pixels;
}

std::vector<uint8_t> EncodePng(const std::vector<uint8_t>& Pixels)
{
    png_image Image{};
    Image.version = PNG_IMAGE_VERSION;
    Image.width = Width;
    Image.height = Height;
    Image.format = PNG_FORMAT_RGBA;
    png_alloc_size_t Size = 0;
    EXPECT_TRUE(png_image_write_to_memory(&Image, nullptr, &Size, 0, Pixels.data(), 0, nullptr));
    std::vector<uint8_t> File(Size);
    EXPECT_TRUE(png_image_write_to_memory(&Image, File.data(), &Size, 0, Pixels.data(), 0, nullptr))
        << Image.message;
    File.resize(Size);
    return File;
}

} // namespace

TEST(PngLibrary, RoundTripsAPictureThroughMemory)
{
    const std::vector<uint8_t> Pixels = Picture();
    const std::vector<uint8_t> File = EncodePng(Pixels);
    ASSERT_GT(File.size(), 8u);

    png_image Image{};
    Image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_memory(&Image, File.data(), File.size()))
        << Image.message;
    Image.format = PNG_FORMAT_RGBA;
    EXPECT_EQ(Image.width, static_cast<png_uint_32>(Width));
    EXPECT_EQ(Image.height, static_cast<png_uint_32>(Height));
    std::vector<uint8_t> Read(PNG_IMAGE_SIZE(Image));
    ASSERT_TRUE(png_image_finish_read(&Image, nullptr, Read.data(), 0, nullptr)) << Image.message;
    EXPECT_EQ(Read, Pixels);
}

TEST(PngLibrary, ReportsADamagedFileAsAnError)
{
    std::vector<uint8_t> File = EncodePng(Picture());
    // Past the signature and header chunk: the compressed pixel data no longer inflates.
    for (std::size_t I = 40; I < File.size() - 12; ++I)
        File[I] ^= 0x5A;

    png_image Image{};
    Image.version = PNG_IMAGE_VERSION;
    bool Ok = png_image_begin_read_from_memory(&Image, File.data(), File.size());
    if (Ok) {
        Image.format = PNG_FORMAT_RGBA;
        std::vector<uint8_t> Read(PNG_IMAGE_SIZE(Image));
        Ok = png_image_finish_read(&Image, nullptr, Read.data(), 0, nullptr);
    }
    EXPECT_FALSE(Ok);
    EXPECT_NE(Image.message[0], '\0');
    png_image_free(&Image);
}
