#include "GradBtnPaint.h"

#include "Utf8.h"

#include <cstdint>

namespace {

// The linear styles run through 256 colour steps; the elliptic one through 51.
constexpr int LinearSteps = 255;
constexpr int EllipticSteps = 50;
constexpr int BandDivisor = LinearSteps + 1;
constexpr int FocusInset = 2;
constexpr int CaptionMargin = 2;

int Channel(int Begin, int End, int I, int N)
{
    return int(Begin + int64_t(I) * (End - Begin) / N);
}

void FillBand(TCanvas& Canvas, int Left, int Top, int Right, int Bottom, TColor Color)
{
    // Most of the 256 bands of a small button are empty; they cost the canvas nothing.
    const TRect Band{ Left, Top, Right, Bottom };
    if (!Band.Empty())
        Canvas.FillRect(Band, Color);
}

void PaintLinear(TCanvas& Canvas, bool Horizontal, TColor Begin, TColor End, int Width, int Height)
{
    const int Extent = Horizontal ? Width : Height;
    for (int I = 0; I <= LinearSteps; ++I) {
        const int From = int(int64_t(I) * Extent / BandDivisor);
        const int To = int(int64_t(I + 1) * Extent / BandDivisor);
        const TColor Color = GradientStep(Begin, End, I, LinearSteps);
        if (Horizontal)
            FillBand(Canvas, From, 0, To, Height, Color);
        else
            FillBand(Canvas, 0, From, Width, To, Color);
    }
}

void PaintCentred(TCanvas& Canvas, bool Horizontal, TColor Begin, TColor End, int Width, int Height)
{
    const int Extent = Horizontal ? Width : Height;
    const int Half = Extent / 2;
    for (int I = 0; I <= Half; ++I) {
        const TColor Color = GradientStep(Begin, End, I, Half);
        if (Horizontal) {
            FillBand(Canvas, I, 0, I + 1, Height, Color);
            FillBand(Canvas, Width - I - 1, 0, Width - I, Height, Color);
        } else {
            FillBand(Canvas, 0, I, Width, I + 1, Color);
            FillBand(Canvas, 0, Height - I - 1, Width, Height - I, Color);
        }
    }
}

void PaintRectangles(TCanvas& Canvas, TColor Begin, TColor End, int Width, int Height)
{
    const double StepX = Width / 2.0 / LinearSteps;
    const double StepY = Height / 2.0 / LinearSteps;
    double Left = 0, Top = 0, Right = Width + 2, Bottom = Height + 2;
    for (int I = 0; I <= LinearSteps; ++I) {
        Left += StepX;
        Right -= StepX;
        Top += StepY;
        Bottom -= StepY;
        FillBand(Canvas, int(Left), int(Top), int(Right), int(Bottom),
            GradientStep(Begin, End, I, LinearSteps));
    }
}

void PaintEllipses(TCanvas& Canvas, TColor Begin, TColor End, int Width, int Height)
{
    const int ThirdW = Width / 3;
    const int ThirdH = Height / 3;
    for (int I = 0; I <= EllipticSteps; ++I) {
        const int R = (Width + 2 * ThirdW) * I / 100;
        const int T = (Height + 2 * ThirdH) * I / 100;
        const TRect Bounds{ -ThirdW + R, -ThirdH + T, Width + ThirdW - R, Height + ThirdH - T };
        if (!Bounds.Empty())
            Canvas.FillEllipse(Bounds, GradientStep(Begin, End, I, EllipticSteps));
    }
}

} // namespace

TColor GradientStep(TColor Begin, TColor End, int I, int N)
{
    // A button too small for its centre style has a single step: its begin colour.
    if (N == 0)
        return Begin;
    return RGB(uint8_t(Channel(GetRValue(Begin), GetRValue(End), I, N)),
        uint8_t(Channel(GetGValue(Begin), GetGValue(End), I, N)),
        uint8_t(Channel(GetBValue(Begin), GetBValue(End), I, N)));
}

void PaintGradient(
    TCanvas& Canvas, TGradientStyle Style, TColor Begin, TColor End, int Width, int Height)
{
    switch (Style) {
    case gsHorizontal:
        return PaintLinear(Canvas, true, Begin, End, Width, Height);
    case gsVertical:
        return PaintLinear(Canvas, false, Begin, End, Width, Height);
    case gsVertCenter:
        return PaintCentred(Canvas, false, Begin, End, Width, Height);
    case gsHorizCenter:
        return PaintCentred(Canvas, true, Begin, End, Width, Height);
    case gsRectangle:
        return PaintRectangles(Canvas, Begin, End, Width, Height);
    case gsElliptic:
        return PaintEllipses(Canvas, Begin, End, Width, Height);
    }
}

void PaintFrame3D(
    TCanvas& Canvas, int Width, int Height, TColor TopLeft, TColor BottomRight, int FrameSize)
{
    for (int K = 0; K < FrameSize; ++K) {
        const int L = K, T = K, R = Width - K, B = Height - K;
        FillBand(Canvas, L, T, R - 1, T + 1, TopLeft);
        FillBand(Canvas, L, T, L + 1, B - 1, TopLeft);
        FillBand(Canvas, R - 1, T, R, B, BottomRight);
        FillBand(Canvas, L, B - 1, R, B, BottomRight);
    }
}

TCaptionText StripAccelerators(const std::string& Caption)
{
    // Byte by byte: an ampersand never occurs inside a multi-byte UTF-8 sequence.
    TCaptionText Result;
    const size_t Size = Caption.size();
    for (size_t I = 0; I < Size; ++I) {
        if (Caption[I] == '&' && I + 1 < Size) {
            ++I;
            if (Caption[I] != '&' && Result.AccelIndex < 0)
                Result.AccelIndex = int(Result.Text.size());
        }
        Result.Text += Caption[I];
    }
    return Result;
}

std::string AcceleratorChar(const TCaptionText& Caption)
{
    if (Caption.AccelIndex < 0)
        return {};
    const size_t Start = size_t(Caption.AccelIndex);
    return Caption.Text.substr(Start, size_t(Utf8SequenceLength(Caption.Text[Start])));
}

std::vector<TCaptionLayer> CaptionLayers(
    TTextStyle Style, TShadeType Shade, bool Enabled, const TCaptionColors& Colors)
{
    if (!Enabled)
        Style = tsInset;
    const TColor Face = Enabled ? Colors.Font : Colors.Disabled;
    std::vector<TCaptionLayer> Layers;
    if (Style == tsRaised) {
        Layers.push_back({ -1, -1, Colors.TxtHilite });
        if (Shade == stHeavy)
            Layers.push_back({ 1, 1, Colors.TxtShadow });
    } else if (Style == tsInset) {
        if (Shade == stHeavy)
            Layers.push_back({ -1, -1, Colors.TxtShadow });
        Layers.push_back({ 1, 1, Colors.TxtHilite });
    }
    Layers.push_back({ 0, 0, Face });
    return Layers;
}

TPoint CaptionAnchor(TJustification Justification, TSize Button, TSize Text, int PressedOffset)
{
    const int Y = (Button.Height - Text.Height) / 2 + PressedOffset;
    switch (Justification) {
    case jLeft:
        return { CaptionMargin + PressedOffset, Y };
    case jRight:
        return { Button.Width - Text.Width - CaptionMargin + PressedOffset, Y };
    case jCenter:
        break;
    }
    return { (Button.Width - Text.Width) / 2 + PressedOffset, Y };
}

void PaintCaption(TCanvas& Canvas, const TCaptionText& Caption, const TFont& Font, TPoint Anchor,
    const std::vector<TCaptionLayer>& Layers)
{
    for (const TCaptionLayer& Layer : Layers)
        Canvas.TextOut({ Anchor.X + Layer.DX, Anchor.Y + Layer.DY }, Caption.Text,
            Caption.AccelIndex, Font, Layer.Color);
}

TRect FocusRect(int Width, int Height)
{
    return { FocusInset, FocusInset, Width - FocusInset, Height - FocusInset };
}

void PaintGradBtnFace(TCanvas& Canvas, const TGradBtnLook& Look, TSize Size)
{
    const int W = Size.Width, H = Size.Height;
    PaintGradient(Canvas, Look.GradientStyle, Look.Begin, Look.End, W, H);
    // Held down, the frame's light and dark edges exchange and the caption moves a pixel.
    const TColor TopLeft = Look.Up ? Look.BtnHilite : Look.BtnShadow;
    const TColor BottomRight = Look.Up ? Look.BtnShadow : Look.BtnHilite;
    PaintFrame3D(Canvas, W, H, TopLeft, BottomRight, Look.BtnFrameSize);
    const int PressedOffset = Look.Up ? 0 : 1;
    const TCaptionText Caption = StripAccelerators(Look.Caption);
    const TSize Text = Canvas.TextExtent(Caption.Text, Look.Font);
    const TPoint Anchor = CaptionAnchor(Look.Justification, Size, Text, PressedOffset);
    PaintCaption(Canvas, Caption, Look.Font, Anchor,
        CaptionLayers(Look.TextStyle, Look.TextShadeType, Look.Enabled, Look.CaptionColors));
    if (Look.ShowFocusRect) {
        const TRect Focus = FocusRect(W, H);
        if (!Focus.Empty())
            Canvas.DrawFocusRect(Focus);
    }
}
