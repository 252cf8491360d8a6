#include "FlatProgressBarCore.h"

#include "FlatBarPaint.h"

#include <stdexcept>
#include <string>

TFlatProgressBarCore::TFlatProgressBarCore(TFlatProgressBarHost& Host)
    : FHost(Host)
{
    FHost.Resize(DefaultSize);
}

TColor TFlatProgressBarCore::Color() const
{
    if (FParentColor) {
        if (const std::optional<TColor> Parent = FHost.ParentBackground())
            return *Parent;
    }
    return FColor;
}

int TFlatProgressBarCore::BlockSize() const
{
    return ::BlockSize;
}

TColor TFlatProgressBarCore::ToRGB(TColor Value) const
{
    return ColorToRGB(Value, FHost.SystemPalette());
}

void TFlatProgressBarCore::SetColors(int Index, TColor Value)
{
    FColors[Index] = Value;
    FHost.Invalidate();
}

void TFlatProgressBarCore::SetAdvColorBorder(int Value)
{
    if (Value < 0 || Value > MaxAdvColors)
        throw std::out_of_range(
            "AdvColorBorder must be between 0 and 100, not " + std::to_string(Value));
    FAdvColorBorder = TAdvColors(Value);
    RecalcBorderColor();
    FHost.Invalidate();
}

void TFlatProgressBarCore::SetUseAdvColors(bool Value)
{
    if (Value == FUseAdvColors)
        return;
    FUseAdvColors = Value;
    FollowParentColor(Value);
    RecalcBorderColor();
    FHost.Invalidate();
}

void TFlatProgressBarCore::SetOrientation(TProgressBarOrientation Value)
{
    if (Value == FOrientation)
        return;
    FOrientation = Value;
    if (!FLoading) {
        const TSize Size = FHost.Size();
        FHost.Resize({ Size.Height, Size.Width });
    }
    FHost.Repaint();
}

void TFlatProgressBarCore::SetMin(int Value)
{
    if (Value == FMin)
        return;
    FMin = Value;
    FHost.Repaint();
}

void TFlatProgressBarCore::SetMax(int Value)
{
    if (Value == FMax)
        return;
    FMax = Value;
    FHost.Repaint();
}

void TFlatProgressBarCore::SetPosition(int Value)
{
    if (Value == FPosition)
        return;
    FPosition = Value;
    FHost.Repaint();
}

void TFlatProgressBarCore::SetStep(int Value)
{
    if (Value == FStep)
        return;
    FStep = Value;
    FHost.Repaint();
}

void TFlatProgressBarCore::SetSmooth(bool Value)
{
    if (Value == FSmooth)
        return;
    FSmooth = Value;
    FHost.Invalidate();
}

void TFlatProgressBarCore::SetColor(TColor Value)
{
    const bool Changed = Value != Color();
    FColor = Value;
    FParentColor = false;
    if (Changed)
        FHost.Invalidate();
}

void TFlatProgressBarCore::SetParentColor(bool Value)
{
    if (Value == FParentColor)
        return;
    FollowParentColor(Value);
    FHost.Invalidate();
}

void TFlatProgressBarCore::FollowParentColor(bool Value)
{
    // Turning it off keeps the colour the bar has just shown.
    FColor = Color();
    FParentColor = Value;
}

void TFlatProgressBarCore::RecalcBorderColor()
{
    if (FUseAdvColors)
        FColors[BorderIndex] = DarkenColor(Color(), FColors[BorderIndex], FAdvColorBorder,
            [this](TColor Value) { return ToRGB(Value); });
}

void TFlatProgressBarCore::ColorsChanged()
{
    if (FUseAdvColors) {
        FollowParentColor(true);
        RecalcBorderColor();
    }
    FHost.Invalidate();
}

TSize TFlatProgressBarCore::SnapBlockLength()
{
    TSize Size = FHost.Size();
    int& Length = FOrientation == pbHorizontal ? Size.Width : Size.Height;
    const int Snapped = SnappedBlockLength(Length);
    if (Snapped != Length) {
        Length = Snapped;
        FHost.Resize(Size);
    }
    return Size;
}

void TFlatProgressBarCore::Paint(TCanvas& Canvas)
{
    // A resize paints the bar once more, with the length already snapped.
    const TSize Size = FSmooth ? FHost.Size() : SnapBlockLength();
    const TFlatBarLook Look{ ToRGB(Color()), ToRGB(ColorBorder()), ToRGB(ColorElement()),
        FOrientation, FSmooth, FPosition };
    PaintFlatBar(Canvas, Look, { 0, 0, Size.Width, Size.Height });
}
