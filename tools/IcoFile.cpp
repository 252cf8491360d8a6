#include "IcoFile.h"

#include <QBuffer>
#include <QtEndian>
#include <cstdint>
#include <stdexcept>

namespace IcoFile {

namespace {

constexpr int DirectoryHeaderSize = 6;
constexpr int DirectoryEntrySize = 16;
constexpr int BitmapHeaderSize = 40;
constexpr int LargestSize = 256;
constexpr uint16_t IconType = 1;

void Append16(QByteArray& Bytes, uint16_t Value)
{
    char Little[2];
    qToLittleEndian(Value, Little);
    Bytes.append(Little, sizeof Little);
}

void Append32(QByteArray& Bytes, uint32_t Value)
{
    char Little[4];
    qToLittleEndian(Value, Little);
    Bytes.append(Little, sizeof Little);
}

// One row of the 1-bit mask is padded to a multiple of 32 bits.
int MaskRowBytes(int Width)
{
    return (Width + 31) / 32 * 4;
}

// The bitmap form: a header whose height counts the colour rows and the mask rows, then the
// colour rows bottom up in blue, green, red, alpha order, then the mask rows bottom up, a set
// bit marking a fully transparent pixel.
QByteArray Bitmap(const QImage& Source)
{
    const QImage Image = Source.convertToFormat(QImage::Format_ARGB32);
    const int Size = Image.width();
    const int MaskBytes = MaskRowBytes(Size) * Size;
    QByteArray Bytes;
    Append32(Bytes, BitmapHeaderSize);
    Append32(Bytes, uint32_t(Size));
    Append32(Bytes, uint32_t(2 * Size));
    Append16(Bytes, 1); // planes
    Append16(Bytes, 32); // bits per pixel
    Append32(Bytes, 0); // uncompressed
    Append32(Bytes, uint32_t(Size * Size * 4 + MaskBytes));
    for (int Unused = 0; Unused < 4; ++Unused)
        Append32(Bytes, 0); // resolution and palette: none
    for (int Y = Size - 1; Y >= 0; --Y) {
        const auto* Row = reinterpret_cast<const QRgb*>(Image.constScanLine(Y));
        for (int X = 0; X < Size; ++X)
            Append32(Bytes, Row[X]); // 0xAARRGGBB stored little-endian is B, G, R, A
    }
    QByteArray Mask(MaskBytes, '\0');
    for (int Y = Size - 1, MaskRow = 0; Y >= 0; --Y, ++MaskRow) {
        const auto* Row = reinterpret_cast<const QRgb*>(Image.constScanLine(Y));
        for (int X = 0; X < Size; ++X)
            if (qAlpha(Row[X]) == 0)
                Mask[MaskRow * MaskRowBytes(Size) + X / 8] |= char(0x80 >> (X % 8));
    }
    return Bytes + Mask;
}

QByteArray Png(const QImage& Image)
{
    QByteArray Bytes;
    QBuffer Buffer(&Bytes);
    Buffer.open(QIODevice::WriteOnly);
    if (!Image.save(&Buffer, "PNG"))
        throw std::runtime_error("The icon's PNG picture cannot be encoded");
    return Bytes;
}

void CheckShape(const QImage& Image)
{
    if (Image.width() != Image.height() || Image.width() < 1 || Image.width() > LargestSize)
        throw std::invalid_argument("An icon picture must be square and 1 to 256 pixels wide");
}

} // namespace

QByteArray Encode(const std::vector<QImage>& Images)
{
    if (Images.empty())
        throw std::invalid_argument("An icon file needs at least one picture");
    std::vector<QByteArray> Pictures;
    for (const QImage& Image : Images) {
        CheckShape(Image);
        Pictures.push_back(Image.width() == LargestSize ? Png(Image) : Bitmap(Image));
    }
    QByteArray File;
    Append16(File, 0); // reserved
    Append16(File, IconType);
    Append16(File, uint16_t(Images.size()));
    uint32_t Offset = DirectoryHeaderSize + DirectoryEntrySize * uint32_t(Images.size());
    for (size_t Index = 0; Index < Images.size(); ++Index) {
        const int Size = Images[Index].width();
        const char SizeByte = char(Size == LargestSize ? 0 : Size); // 0 stands for 256
        File.append(SizeByte).append(SizeByte);
        File.append(char(0)).append(char(0)); // no palette, reserved
        Append16(File, 1); // planes
        Append16(File, 32); // bits per pixel
        Append32(File, uint32_t(Pictures[Index].size()));
        Append32(File, Offset);
        Offset += uint32_t(Pictures[Index].size());
    }
    for (const QByteArray& Picture : Pictures)
        File += Picture;
    return File;
}

} // namespace IcoFile
