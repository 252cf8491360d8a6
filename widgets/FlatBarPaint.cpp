#include "FlatBarPaint.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

constexpr int FullPercent = 100;
// The fill keeps one pixel of background inside the 1-pixel frame.
constexpr int FillInset = 2;

// Extent * Position div 100, truncating toward zero. The product is formed in 64 bits so that a
// huge Position saturates instead of overflowing.
int PercentOf(int Extent, int Position)
{
    const int64_t Value = int64_t(Extent) * Position / FullPercent;
    return int(std::clamp<int64_t>(
        Value, std::numeric_limits<int>::min() / 2, std::numeric_limits<int>::max() / 2));
}

} // namespace

int BlockCount(int Length)
{
    return (Length - BlockEnds) / BlockPitch;
}

int SnappedBlockLength(int Length)
{
    if (Length < MinBlockLength)
        return MinBlockLength;
    return BlockCount(Length) * BlockPitch + BlockEnds;
}

int FilledBlocks(int Position, int Count)
{
    if (Count <= 0)
        return 0;
    const int PerBlock = FullPercent / Count;
    // Over 100 blocks leave no whole percent per block; the bar then fills as the quotient's
    // limit would: everything for a positive Position, nothing otherwise.
    if (PerBlock == 0)
        return Position > 0 ? Count : 0;
    const int Filled = int(std::nearbyint(double(Position) / PerBlock));
    return std::min(Filled, Count);
}

TRect SmoothFillRect(TProgressBarOrientation Orientation, const TRect& R, int Position)
{
    const int Width = R.Right - R.Left;
    const int Height = R.Bottom - R.Top;
    if (Orientation == pbHorizontal)
        return { FillInset, FillInset, R.Left + PercentOf(Width - FillInset, Position),
            R.Bottom - FillInset };
    return { FillInset, R.Bottom - FillInset - PercentOf(Height - 2 * FillInset, Position),
        R.Right - FillInset, R.Bottom - FillInset };
}

TRect FirstBlockRect(TProgressBarOrientation Orientation, const TRect& R)
{
    if (Orientation == pbHorizontal)
        return { R.Left + FillInset, R.Top + FillInset, R.Left + FillInset + BlockSize,
            R.Bottom - FillInset };
    return { R.Left + FillInset, R.Bottom - FillInset - BlockSize, R.Right - FillInset,
        R.Bottom - FillInset };
}

void PaintFlatBar(TCanvas& Canvas, const TFlatBarLook& Look, const TRect& R)
{
    Canvas.FillRect(R, Look.Background);
    Canvas.FrameRect(R, Look.Border);
    if (Look.Smooth) {
        Canvas.FillRect(SmoothFillRect(Look.Orientation, R, Look.Position), Look.Element);
        return;
    }
    const int Length = Look.Orientation == pbHorizontal ? R.Right - R.Left : R.Bottom - R.Top;
    const int Filled = FilledBlocks(Look.Position, BlockCount(Length));
    TRect Block = FirstBlockRect(Look.Orientation, R);
    for (int I = 0; I < Filled; ++I) {
        Canvas.FillRect(Block, Look.Element);
        if (Look.Orientation == pbHorizontal) {
            Block.Left += BlockPitch;
            Block.Right += BlockPitch;
        } else {
            Block.Top -= BlockPitch;
            Block.Bottom -= BlockPitch;
        }
    }
}
