#include "BevelPaint.h"

void PaintBevel(TCanvas& Canvas, TBevelShape Shape, TSize Size, const TSystemPalette& Palette)
{
    const TColor Shadow = ColorToRGB(clBtnShadow, Palette);
    const TColor Highlight = ColorToRGB(clBtnHighlight, Palette);
    const int Width = Size.Width;
    const int Height = Size.Height;
    if (Shape == bsTopLine) {
        Canvas.FillRect({ 0, 0, Width, 1 }, Shadow);
        Canvas.FillRect({ 0, 1, Width, 2 }, Highlight);
        return;
    }
    Canvas.FillRect({ 0, 0, Width, 1 }, Shadow);
    Canvas.FillRect({ 0, 0, 1, Height }, Shadow);
    Canvas.FillRect({ 0, Height - 1, Width, Height }, Highlight);
    Canvas.FillRect({ Width - 1, 0, Width, Height }, Highlight);
}
