#include "CornerTransparency.h"

#include <stdexcept>
#include <string>

namespace {

constexpr uint32_t ColourBits = 0x00FFFFFF;
constexpr uint32_t Opaque = 0xFF000000;

uint32_t* Row(uint32_t* Pixels, int Y, std::ptrdiff_t Stride)
{
    return reinterpret_cast<uint32_t*>(reinterpret_cast<unsigned char*>(Pixels) + Y * Stride);
}

} // namespace

bool CornerColourCleared(bool TransparentControl, bool PictureHasAlpha)
{
    return TransparentControl && !PictureHasAlpha;
}

void ClearCornerColour(uint32_t* Pixels, int Width, int Height, std::ptrdiff_t Stride)
{
    const auto Size = [&] { return std::to_string(Width) + " x " + std::to_string(Height); };
    if (Width < 1 || Height < 1)
        throw std::invalid_argument("A picture of " + Size() + " pixels has no bottom-left pixel");
    if (Stride < static_cast<std::ptrdiff_t>(Width) * 4 || Stride % 4 != 0)
        throw std::invalid_argument("A row stride of " + std::to_string(Stride)
            + " bytes does not fit a picture of " + Size() + " pixels");
    const uint32_t Corner = Row(Pixels, Height - 1, Stride)[0] & ColourBits;
    for (int Y = 0; Y < Height; ++Y) {
        uint32_t* Line = Row(Pixels, Y, Stride);
        for (int X = 0; X < Width; ++X)
            Line[X] = (Line[X] & ColourBits) == Corner ? 0 : Line[X] | Opaque;
    }
}
