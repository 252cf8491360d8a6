#include "GradBtnCore.h"

#include <utility>

namespace {
// The frame must leave this much of each half of the button free.
constexpr int FrameReserve = 5;

char FoldCase(char C)
{
    return C >= 'A' && C <= 'Z' ? char(C - 'A' + 'a') : C;
}

// Accelerators match letters of either case; other characters (beyond ASCII too) match exactly.
bool SameCharIgnoringCase(const std::string& A, const std::string& B)
{
    if (A.size() != B.size())
        return false;
    for (size_t I = 0; I < A.size(); ++I)
        if (FoldCase(A[I]) != FoldCase(B[I]))
            return false;
    return true;
}

} // namespace

TGradBtnCore::TGradBtnCore(TGradBtnHost& Host)
    : FHost(Host)
{
    FHost.Resize(DefaultSize);
}

std::string TGradBtnCore::AcceleratorChar() const
{
    return ::AcceleratorChar(StripAccelerators(FCaption));
}

void TGradBtnCore::SetBtnFrameSize(int Value)
{
    const TSize Size = FHost.Size();
    if (Value > Size.Width / 2 - FrameReserve || Value > Size.Height / 2 - FrameReserve)
        return;
    SetStyle(FBtnFrameSize, Value);
}

void TGradBtnCore::ExchangeColors()
{
    std::swap(FBeginColor, FEndColor);
    FColorsSwapped = !FColorsSwapped;
}

void TGradBtnCore::RestoreColors()
{
    // Only an exchange made by the hold is undone, so a click that did not follow a hold, or a
    // SwapColors change in between, leaves the stored colours alone.
    if (FColorsSwapped)
        ExchangeColors();
}

void TGradBtnCore::HoldDown()
{
    FUp = false;
    FHost.SetFocus();
    if (FSwapColors && !FColorsSwapped)
        ExchangeColors();
    FHost.Invalidate();
}

void TGradBtnCore::ReleaseHold()
{
    if (FClicked) {
        FClicked = false;
        return;
    }
    if (!FUp) {
        RestoreColors();
        FUp = true;
        FHost.Invalidate();
    }
}

void TGradBtnCore::Click()
{
    FClicked = true;
    RestoreColors();
    FUp = true;
    // The button shows itself released before the click is reported.
    FHost.Repaint();
    FHost.Clicked();
}

void TGradBtnCore::SetPointerInside(bool Inside)
{
    if (Inside == FPointerInside)
        return;
    FPointerInside = Inside;
    if (FPrimaryHeld) {
        if (!Inside)
            ReleaseHold();
        else if (FUp)
            HoldDown();
    }
    if (Inside)
        FHost.MouseEntered();
    else
        FHost.MouseLeft();
}

void TGradBtnCore::MouseDown(TMouseButton Button, TShiftState Shift, TPoint At)
{
    FHost.MouseDown(Button, Shift, At);
    // A new press begins a new press and release; a click flag left by a keyboard click must
    // not swallow its release.
    FClicked = false;
    if (Button != mbLeft) {
        FHost.SetFocus();
        return;
    }
    FPrimaryHeld = true;
    FPointerInside = true;
    FHost.CaptureMouse();
    if (FUp)
        HoldDown();
}

void TGradBtnCore::MouseMove(TShiftState Shift, TPoint At)
{
    if (FPrimaryHeld) {
        const TSize Size = FHost.Size();
        SetPointerInside(TRect{ 0, 0, Size.Width, Size.Height }.Contains(At));
    }
    FHost.MouseMoved(Shift, At);
}

void TGradBtnCore::MouseUp(TMouseButton Button, TShiftState Shift, TPoint At)
{
    if (Button == mbLeft && FPrimaryHeld) {
        const TSize Size = FHost.Size();
        const bool Clicks = TRect{ 0, 0, Size.Width, Size.Height }.Contains(At);
        FPrimaryHeld = false;
        FHost.ReleaseMouse();
        if (Clicks)
            Click();
    }
    FHost.MouseUp(Button, Shift, At);
    ReleaseHold();
}

bool TGradBtnCore::KeyPress(char Key)
{
    if (Key != EnterKey && Key != SpaceKey)
        return false;
    Click();
    return true;
}

bool TGradBtnCore::DialogChar(const std::string& Char)
{
    const std::string Accelerator = AcceleratorChar();
    if (Accelerator.empty() || !FHost.Enabled() || !SameCharIgnoringCase(Char, Accelerator))
        return false;
    Click();
    return true;
}

TGradBtnLook TGradBtnCore::Look() const
{
    const TSystemPalette Palette = FHost.SystemPalette();
    auto ToRGB = [&](TColor Value) { return ColorToRGB(Value, Palette); };
    TGradBtnLook Look;
    Look.GradientStyle = FGradientStyle;
    Look.Begin = ToRGB(FBeginColor);
    Look.End = ToRGB(FEndColor);
    Look.BtnHilite = ToRGB(FBtnHiliteClr);
    Look.BtnShadow = ToRGB(FBtnShadowClr);
    Look.BtnFrameSize = FBtnFrameSize;
    Look.Up = FUp;
    Look.Enabled = FHost.Enabled();
    Look.ShowFocusRect = FShowFocus && FHost.Focused();
    Look.Caption = FCaption;
    Look.Font = FFont;
    Look.TextStyle = FTextStyle;
    Look.TextShadeType = FTextShadeType;
    Look.Justification = FJustification;
    Look.CaptionColors
        = { ToRGB(FFontColor), ToRGB(FDisabledColor), ToRGB(FTxtHiliteClr), ToRGB(FTxtShadowClr) };
    return Look;
}

void TGradBtnCore::Paint(TCanvas& Canvas)
{
    PaintGradBtnFace(Canvas, Look(), FHost.Size());
}
