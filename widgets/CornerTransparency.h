// The transparent image control's rule: a picture without an alpha channel of its own, shown on a
// control that is transparent, is drawn without the pixels of its bottom-left pixel's colour, so
// that what lies behind the control shows there. A picture with alpha is drawn by its alpha
// alone, and a control that is not transparent draws its picture opaque.
//
// Each front end reads its picture, asks CornerColourCleared and, when it answers yes, draws a
// copy of the picture's pixels passed through ClearCornerColour.
//
// Pure functions: any thread.
#pragma once

#include <cstddef>
#include <cstdint>

// Whether a picture is drawn without its bottom-left colour.
bool CornerColourCleared(bool TransparentControl, bool PictureHasAlpha);

// Pixels: Height rows of Width pixels 0xAARRGGBB (Qt's Format_ARGB32, a Windows 32-bit DIB),
// top row first, each row Stride bytes after the one before it (at least Width * 4, a multiple of
// 4). Every pixel whose red, green and blue equal those of the bottom-left pixel becomes
// 0x00000000, fully transparent both straight and premultiplied; every other pixel keeps its
// colour and becomes opaque. The bytes between a row's end and the next row are left alone.
// Raises std::invalid_argument for an empty picture or a stride that does not hold a row.
void ClearCornerColour(uint32_t* Pixels, int Width, int Height, std::ptrdiff_t Stride);
