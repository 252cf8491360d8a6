// The drawing of the flat progress bar, apart from the widget's state: the geometry of its fill
// and the paint steps onto a canvas.
//
// Any thread that owns the canvas; never blocks.
#pragma once

#include "Canvas.h"
#include "FlatUtilitys.h"

// Thickness of one block of a block bar, and the gap after it.
constexpr int BlockSize = 8;
constexpr int BlockPitch = BlockSize + 1;
// The frame and one pixel of background on both ends, less the gap after the last block.
constexpr int BlockEnds = 3;
constexpr int MinBlockLength = 12;

// The length a block bar takes so that its blocks fit exactly.
int SnappedBlockLength(int Length);
// Blocks that fit in a bar of Length pixels.
int BlockCount(int Length);
// Blocks filled at Position percent of Count blocks; 0 .. Count.
int FilledBlocks(int Position, int Count);
// The single fill rectangle of a smooth bar in client rectangle R; may reach past R.
TRect SmoothFillRect(TProgressBarOrientation Orientation, const TRect& R, int Position);
// The first block of a block bar in client rectangle R; the others follow BlockPitch apart.
TRect FirstBlockRect(TProgressBarOrientation Orientation, const TRect& R);

// Everything one paint of the bar needs, colours already in RGB.
struct TFlatBarLook {
    TColor Background = 0;
    TColor Border = 0;
    TColor Element = 0;
    TProgressBarOrientation Orientation = pbHorizontal;
    bool Smooth = false;
    int Position = 0;
};

// Background, 1-pixel frame and fill over client rectangle R. A block bar's length must already be
// snapped (the widget resizes itself first). The smooth fill goes to the canvas as computed, also
// when it is empty or inverted (Position 0 or below, a bar too short for its percentage).
void PaintFlatBar(TCanvas& Canvas, const TFlatBarLook& Look, const TRect& R);
