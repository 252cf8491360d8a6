// The bevel: a lowered frame drawn over what lies beneath it, in the system's 3-D colours. A box
// has its shadow along the top and left edges and its highlight along the bottom and right ones,
// the highlight drawn last (it takes the bottom-left and top-right corners); a line along the top
// edge is a shadow row over a highlight row. Nothing else is drawn, so the rest shows through.
//
// GUI thread that paints.
#pragma once

#include "Canvas.h"
#include "SystemPalette.h"

enum TBevelShape { bsBox, bsTopLine };

// Paints a bevel of Size at the canvas's origin, its colours resolved with Palette.
void PaintBevel(TCanvas& Canvas, TBevelShape Shape, TSize Size, const TSystemPalette& Palette);
