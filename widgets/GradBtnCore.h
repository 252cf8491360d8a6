// The gradient push button without a toolkit: its properties and their rules, its mouse and
// keyboard behaviour, and its paint. The face is a colour gradient with a 3-D frame and a caption
// drawn flat, raised or inset.
//
// Pressing with the primary button holds it down (the gradient's colours exchange when
// SwapColors is true); releasing over it clicks it. Enter clicks it while it has the focus, and
// so does the caption's accelerator character typed with the dialog key (Alt) while it is
// enabled.
//
// A front end owns one of these per control and implements TGradBtnHost over its control. It
// forwards the control's mouse, key, focus and enabled events here, and paints by composing
// Paint's output on an off-screen bitmap of the control's size that it then copies to the
// screen, so that the control never flickers; it suppresses the toolkit's background erasure,
// since the paint covers every pixel.
//
// Colour, style, font and Justification setters invalidate on a change; SwapColors and ShowFocus
// only store. Presets has an effect only in a form designer, so at run time it changes nothing.
//
// GUI thread only. Click notifies the host's Clicked on the same thread after repainting.
#pragma once

#include "Canvas.h"
#include "Colors.h"
#include "GradBtnPaint.h"
#include "WidgetHost.h"

#include <string>

class TGradBtnCore {
public:
    static constexpr TSize DefaultSize{ 75, 25 };
    // The characters of the keys that click the button: Enter and Space.
    static constexpr char EnterKey = '\r';
    static constexpr char SpaceKey = ' ';

    // Gives the control its default size through Host, which must outlive the button.
    explicit TGradBtnCore(TGradBtnHost& Host);
    TGradBtnCore(const TGradBtnCore&) = delete;
    TGradBtnCore& operator=(const TGradBtnCore&) = delete;

    TColor DisabledColor() const { return FDisabledColor; }
    TColor BtnHiliteClr() const { return FBtnHiliteClr; }
    TColor BtnShadowClr() const { return FBtnShadowClr; }
    int BtnFrameSize() const { return FBtnFrameSize; }
    TColor TxtHiliteClr() const { return FTxtHiliteClr; }
    TColor TxtShadowClr() const { return FTxtShadowClr; }
    // While the button is held down with SwapColors, these two read exchanged.
    TColor BeginColor() const { return FBeginColor; }
    TColor EndColor() const { return FEndColor; }
    bool SwapColors() const { return FSwapColors; }
    bool ShowFocus() const { return FShowFocus; }
    TGradientStyle GradientStyle() const { return FGradientStyle; }
    TTextStyle TextStyle() const { return FTextStyle; }
    TShadeType TextShadeType() const { return FTextShadeType; }
    TPreset Presets() const { return FPresets; }
    TJustification Justification() const { return FJustification; }
    // UTF-8, with its accelerator markers.
    const std::string& Caption() const { return FCaption; }
    const TFont& Font() const { return FFont; }
    TColor FontColor() const { return FFontColor; }
    // False while the primary button holds the button down.
    bool IsUp() const { return FUp; }
    // The caption's accelerator character (UTF-8), empty when it has none: the front end
    // registers it with its dialog key.
    std::string AcceleratorChar() const;

    void SetDisabledColor(TColor Value) { SetColor(FDisabledColor, Value); }
    void SetBtnHiliteClr(TColor Value) { SetColor(FBtnHiliteClr, Value); }
    void SetBtnShadowClr(TColor Value) { SetColor(FBtnShadowClr, Value); }
    // Accepted only up to Width div 2 - 5 and Height div 2 - 5; otherwise the old value stays.
    void SetBtnFrameSize(int Value);
    void SetTxtHiliteClr(TColor Value) { SetColor(FTxtHiliteClr, Value); }
    void SetTxtShadowClr(TColor Value) { SetColor(FTxtShadowClr, Value); }
    void SetBeginColor(TColor Value) { SetColor(FBeginColor, Value); }
    void SetEndColor(TColor Value) { SetColor(FEndColor, Value); }
    void SetSwapColors(bool Value) { FSwapColors = Value; }
    void SetShowFocus(bool Value) { FShowFocus = Value; }
    void SetGradientStyle(TGradientStyle Value) { SetStyle(FGradientStyle, Value); }
    void SetTextStyle(TTextStyle Value) { SetStyle(FTextStyle, Value); }
    void SetTextShadeType(TShadeType Value) { SetStyle(FTextShadeType, Value); }
    // Ignored: presets belong to the form designer.
    void SetPresets(TPreset) { }
    void SetJustification(TJustification Value) { SetStyle(FJustification, Value); }
    void SetCaption(const std::string& Value) { SetStyle(FCaption, Value); }
    void SetFont(const TFont& Value) { SetStyle(FFont, Value); }
    void SetFontColor(TColor Value) { SetColor(FFontColor, Value); }

    // Releases a held button, repaints it, then notifies the host's Clicked.
    void Click();

    // Mouse events in the control's coordinates; a captured pointer may lie outside it.
    void MouseDown(TMouseButton Button, TShiftState Shift, TPoint At);
    void MouseMove(TShiftState Shift, TPoint At);
    void MouseUp(TMouseButton Button, TShiftState Shift, TPoint At);
    // The pointer crossed the control's edge (the toolkit's enter and leave events).
    void MouseEnter() { SetPointerInside(true); }
    void MouseLeave() { SetPointerInside(false); }
    // A character typed while the control has the focus; true when the button used it (Enter or
    // Space).
    bool KeyPress(char Key);
    // Char (UTF-8) typed with the dialog key; true when it is the caption's accelerator (letters of
    // either case) and the button is enabled and clicked.
    bool DialogChar(const std::string& Char);
    // The control gained or lost the focus, or was enabled or disabled.
    void FocusChanged() { FHost.Invalidate(); }
    void EnabledChanged() { FHost.Invalidate(); }

    // Draws the whole face on Canvas, which covers the control's size.
    void Paint(TCanvas& Canvas);

private:
    void SetColor(TColor& Field, TColor Value) { SetStyle(Field, Value); }
    template <typename T> void SetStyle(T& Field, const T& Value)
    {
        if (Field == Value)
            return;
        Field = Value;
        FHost.Invalidate();
    }
    // Primary press: held down, focused, colours exchanged.
    void HoldDown();
    // Release that ends a hold without a click.
    void ReleaseHold();
    void ExchangeColors();
    void RestoreColors();
    // With the primary button held, leaving releases the button and coming back holds it again.
    void SetPointerInside(bool Inside);
    TGradBtnLook Look() const;

    TGradBtnHost& FHost;
    TColor FDisabledColor = clGrayText;
    TColor FBtnHiliteClr = clBtnHighlight;
    TColor FBtnShadowClr = clBtnShadow;
    int FBtnFrameSize = 1;
    TColor FTxtHiliteClr = clBtnHighlight;
    TColor FTxtShadowClr = clBtnShadow;
    TColor FBeginColor = clNavy;
    TColor FEndColor = clAqua;
    bool FSwapColors = true;
    bool FShowFocus = true;
    TGradientStyle FGradientStyle = gsVertCenter;
    TTextStyle FTextStyle = tsRaised;
    TShadeType FTextShadeType = stLight;
    TPreset FPresets = None;
    TJustification FJustification = jCenter;
    std::string FCaption;
    TFont FFont;
    TColor FFontColor = clBlack;

    bool FUp = true;
    bool FClicked = false;
    // The colours are exchanged because of the current hold.
    bool FColorsSwapped = false;
    // A primary press on the button has not been released yet.
    bool FPrimaryHeld = false;
    bool FPointerInside = false;
};
