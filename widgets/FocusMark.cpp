#include "FocusMark.h"

void PaintFocusMark(TCanvas& Canvas, TSize Size)
{
    const int Inset = Size.Width > 4 && Size.Height > 4 ? 1 : 0;
    Canvas.DrawFocusRect(TRect{ Inset, Inset, Size.Width - Inset, Size.Height - Inset });
}
