#include "IconDrawing.h"

#include <gtest/gtest.h>

namespace {

bool IsLampRed(QRgb Pixel)
{
    return qAlpha(Pixel) == 255 && qRed(Pixel) > 150 && qGreen(Pixel) < 110 && qBlue(Pixel) < 110;
}

} // namespace

// Each size, including the simplified small ones, shows the red lamp in the key and leaves the
// corners outside the rounded key clear.
TEST(Icon, EverySizeShowsTheLampAndClearCorners)
{
    for (int Size : { 16, 22, 24, 32, 48, 64, 128, 256 }) {
        SCOPED_TRACE(Size);
        const QImage Image = IconDrawing::Render(Size);
        ASSERT_EQ(Image.size(), QSize(Size, Size));
        EXPECT_EQ(Image.format(), QImage::Format_ARGB32);
        EXPECT_EQ(qAlpha(Image.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(Image.pixel(Size - 1, Size - 1)), 0);
        // The lamp sits at the centre of the small drawing and left of it in the detailed one.
        const int LampX = Size < 32 ? Size / 2 : Size * 106 / 256;
        EXPECT_TRUE(IsLampRed(Image.pixel(LampX, Size / 2 + Size / 8)))
            << std::hex << Image.pixel(LampX, Size / 2 + Size / 8);
    }
}

TEST(Icon, ScalableDrawingIsTheDetailedOne)
{
    EXPECT_EQ(IconDrawing::ScalableSvg(), IconDrawing::SvgForSize(256));
    EXPECT_NE(IconDrawing::SvgForSize(16), IconDrawing::SvgForSize(32));
    EXPECT_TRUE(IconDrawing::ScalableSvg().startsWith("<?xml"));
}
