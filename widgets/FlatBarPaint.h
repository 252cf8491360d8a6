// The drawing of the flat progress bar, apart from the widget's state so that it can paint into
// any QPainter (the widget, or a QImage in a test).
//
// GUI thread, or any thread that owns the painter's device; never blocks.
#pragma once

#include "FlatUtilitys.h"

#include <QColor>

class QPainter;

// A rectangle with exclusive right and bottom edges. Right <= Left or Bottom <= Top is empty.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    bool operator==(const TRect&) const = default;
};

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

struct TFlatBarLook {
    QColor Background;
    QColor Border;
    QColor Element;
    TProgressBarOrientation Orientation = pbHorizontal;
    bool Smooth = false;
    int Position = 0;
};

// Background, 1-pixel frame and fill over client rectangle R. A block bar's length must already be
// snapped (the widget resizes itself first).
void PaintFlatBar(QPainter& Painter, const TFlatBarLook& Look, const TRect& R);
