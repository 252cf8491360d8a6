// The transparent image control's rule: which pictures lose their bottom-left colour, and the
// pixels of a 32-bit buffer after it, padding between the rows included.
#include "CornerTransparency.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr uint32_t Magenta = 0xFFFF00FF;
constexpr uint32_t Green = 0xFF00C000;
// Padding between rows, which the rule must neither read as a pixel nor write.
constexpr uint32_t Padding = 0x5A5A5A5A;

std::string MessageOf(int Width, int Height, std::ptrdiff_t Stride)
{
    std::vector<uint32_t> Pixels(64, Magenta);
    try {
        ClearCornerColour(Pixels.data(), Width, Height, Stride);
    } catch (const std::invalid_argument& E) {
        return E.what();
    }
    return "no error raised";
}

} // namespace

TEST(CornerTransparency, OnlyAPictureWithoutAlphaOnATransparentControlLosesItsCornerColour)
{
    EXPECT_TRUE(CornerColourCleared(true, false));
    EXPECT_FALSE(CornerColourCleared(true, true));
    EXPECT_FALSE(CornerColourCleared(false, false));
    EXPECT_FALSE(CornerColourCleared(false, true));
}

TEST(CornerTransparency, TheBottomLeftColourIsClearedAndTheTopLeftOneKept)
{
    // 3 x 2, top row first: the top-left pixel is green, the bottom-left one magenta.
    std::vector<uint32_t> Pixels = { Green, Magenta, 0x00102030, Magenta, Green, 0x7FFF00FF };
    ClearCornerColour(Pixels.data(), 3, 2, 3 * 4);
    // Magenta goes whatever its alpha; the rest keeps its colour and becomes opaque.
    EXPECT_EQ(Pixels, (std::vector<uint32_t>{ Green, 0, 0xFF102030, 0, Green, 0 }));
}

TEST(CornerTransparency, OnlyTheExactColourIsCleared)
{
    // One row: magenta at the left, then colours that differ from it in one channel by one step,
    // then magenta with other alphas.
    std::vector<uint32_t> Pixels
        = { Magenta, 0xFFFE00FF, 0xFFFF01FF, 0xFFFF00FE, 0x80FF00FF, 0x00FF00FF };
    ClearCornerColour(Pixels.data(), 6, 1, 6 * 4);
    EXPECT_EQ(Pixels, (std::vector<uint32_t>{ 0, 0xFFFE00FF, 0xFFFF01FF, 0xFFFF00FE, 0, 0 }));
}

TEST(CornerTransparency, RowsFollowTheStrideAndThePaddingIsLeftAlone)
{
    // 2 x 3 in rows of 4 pixels: the bottom-left pixel lies at 2 * 4, not at 2 * 2.
    std::vector<uint32_t> Pixels = {
        Magenta, Green, Padding, Padding, //
        Green, Magenta, Padding, Padding, //
        Magenta, 0x00000001, Padding, Magenta, //
    };
    ClearCornerColour(Pixels.data(), 2, 3, 4 * 4);
    EXPECT_EQ(Pixels,
        (std::vector<uint32_t>{
            0, Green, Padding, Padding, //
            Green, 0, Padding, Padding, //
            0, 0xFF000001, Padding, Magenta, //
        }));
}

TEST(CornerTransparency, AOnePixelPictureIsItsOwnCornerAndVanishes)
{
    uint32_t Pixel = 0xFF123456;
    ClearCornerColour(&Pixel, 1, 1, 4);
    EXPECT_EQ(Pixel, 0u);
}

TEST(CornerTransparency, AnEmptyPictureOrAStrideShorterThanARowIsRefused)
{
    EXPECT_EQ(MessageOf(0, 3, 16), "A picture of 0 x 3 pixels has no bottom-left pixel");
    EXPECT_EQ(MessageOf(4, 0, 16), "A picture of 4 x 0 pixels has no bottom-left pixel");
    EXPECT_EQ(
        MessageOf(4, 2, 12), "A row stride of 12 bytes does not fit a picture of 4 x 2 pixels");
    EXPECT_EQ(
        MessageOf(4, 2, 18), "A row stride of 18 bytes does not fit a picture of 4 x 2 pixels");
    EXPECT_EQ(MessageOf(4, 2, 20), "no error raised");
}
