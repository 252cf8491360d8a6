#include "IcoFile.h"

#include "IconDrawing.h"

#include <QBuffer>
#include <QImageReader>
#include <QtEndian>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

uint32_t Read32(const QByteArray& Bytes, int Offset)
{
    return qFromLittleEndian<uint32_t>(Bytes.constData() + Offset);
}

// Qt's own icon reader decodes the file independently of the writer.
std::vector<QImage> Decode(QByteArray Bytes)
{
    QBuffer Buffer(&Bytes);
    Buffer.open(QIODevice::ReadOnly);
    QImageReader Reader(&Buffer, "ico");
    std::vector<QImage> Images;
    for (int Index = 0; Index < Reader.imageCount(); ++Index) {
        EXPECT_TRUE(Reader.jumpToImage(Index));
        Images.push_back(Reader.read().convertToFormat(QImage::Format_ARGB32));
    }
    return Images;
}

} // namespace

// Every picture comes back from the file with its size and its exact pixels, translucent edges
// included, whether stored as a bitmap (bottom-up rows, blue first) or as PNG (256 pixels).
TEST(IcoFile, RoundTripsEverySizeExactly)
{
    std::vector<QImage> Originals;
    for (int Size : IconDrawing::WindowsSizes)
        Originals.push_back(IconDrawing::Render(Size));
    const std::vector<QImage> Decoded = Decode(IcoFile::Encode(Originals));
    ASSERT_EQ(Decoded.size(), Originals.size());
    for (size_t Index = 0; Index < Originals.size(); ++Index) {
        SCOPED_TRACE(Originals[Index].width());
        ASSERT_EQ(Decoded[Index].size(), Originals[Index].size());
        EXPECT_EQ(Decoded[Index], Originals[Index]);
    }
}

// The transparency mask: one bit per pixel, bottom row first, rows padded to 32 bits, a set
// bit for each fully transparent pixel. 24 pixels leave a padding byte in every row.
TEST(IcoFile, MaskMarksTransparentPixelsBottomUpWithPaddedRows)
{
    QImage Image(24, 24, QImage::Format_ARGB32);
    Image.fill(qRgba(10, 20, 30, 255));
    Image.setPixel(0, 0, qRgba(0, 0, 0, 0)); // top left: last mask row, first bit
    Image.setPixel(23, 23, qRgba(0, 0, 0, 0)); // bottom right: first mask row, bit 23
    Image.setPixel(9, 23, qRgba(255, 0, 0, 1)); // nearly clear stays opaque in the mask
    const QByteArray File = IcoFile::Encode({ Image });

    const int Picture = int(Read32(File, 6 + 12));
    EXPECT_EQ(Read32(File, 6 + 8), uint32_t(File.size() - Picture));
    EXPECT_EQ(Read32(File, Picture + 8), 48u); // colour rows and mask rows
    const int Mask = Picture + 40 + 24 * 24 * 4;
    const int RowBytes = 4;
    ASSERT_EQ(File.size(), Mask + 24 * RowBytes);
    const QByteArray FirstRow = File.mid(Mask, RowBytes);
    EXPECT_EQ(FirstRow, QByteArray("\x00\x00\x01\x00", 4));
    const QByteArray LastRow = File.mid(Mask + 23 * RowBytes, RowBytes);
    EXPECT_EQ(LastRow, QByteArray("\x80\x00\x00\x00", 4));
    for (int Row = 1; Row < 23; ++Row)
        EXPECT_EQ(File.mid(Mask + Row * RowBytes, RowBytes), QByteArray(RowBytes, '\0')) << Row;
}

TEST(IcoFile, RefusesPicturesItCannotStore)
{
    EXPECT_THROW(IcoFile::Encode({}), std::invalid_argument);
    EXPECT_THROW(IcoFile::Encode({ QImage(16, 24, QImage::Format_ARGB32) }), std::invalid_argument);
    EXPECT_THROW(
        IcoFile::Encode({ QImage(257, 257, QImage::Format_ARGB32) }), std::invalid_argument);
    EXPECT_THROW(IcoFile::Encode({ QImage() }), std::invalid_argument);
}
