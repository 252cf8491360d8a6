// The flat progress bar without a toolkit: its properties and their rules, and its paint. A bar
// shows a background in the control's colour, a 1-pixel frame in the border colour and a fill in
// the element colour that grows from the start edge with Position (left to right, or bottom to
// top). Position is a percentage, 100 meaning full, and is never clamped; Min, Max and Step are
// kept for the form but take no part in drawing.
//
// A front end owns one of these per control, implements TFlatProgressBarHost over its control,
// calls Paint with a canvas over the control's surface, and reports the parent's and the
// system's colour changes and the end of loading. The bar paints every pixel of its rectangle
// (opaque) and takes its background from its parent while ParentColor is true.
//
// "Repaint at once" is the host's Repaint, "invalidate" its Invalidate. Until Loaded is called
// (the form is still setting the bar up) Orientation keeps the size; afterwards it exchanges
// width and height.
//
// GUI thread only; nothing blocks.
#pragma once

#include "Canvas.h"
#include "Colors.h"
#include "FlatUtilitys.h"
#include "WidgetHost.h"

class TFlatProgressBarCore {
public:
    static constexpr TSize DefaultSize{ 147, 16 };
    static constexpr TColor DefaultElementColor = RGB(51, 102, 153);
    static constexpr TColor DefaultBorderColor = RGB(160, 150, 131);
    // The colour of a bar without a parent, or after ParentColor is turned off.
    static constexpr TColor DefaultColor = RGB(235, 233, 225);

    // Gives the control its default size through Host, which must outlive the bar.
    explicit TFlatProgressBarCore(TFlatProgressBarHost& Host);
    TFlatProgressBarCore(const TFlatProgressBarCore&) = delete;
    TFlatProgressBarCore& operator=(const TFlatProgressBarCore&) = delete;

    TColor ColorElement() const { return FColors[ElementIndex]; }
    TColor ColorBorder() const { return FColors[BorderIndex]; }
    TAdvColors AdvColorBorder() const { return FAdvColorBorder; }
    bool UseAdvColors() const { return FUseAdvColors; }
    TProgressBarOrientation Orientation() const { return FOrientation; }
    int Min() const { return FMin; }
    int Max() const { return FMax; }
    int Position() const { return FPosition; }
    int Step() const { return FStep; }
    bool Smooth() const { return FSmooth; }
    // The parent's colour while ParentColor is true and there is a parent; may be a system
    // colour when it is the bar's own.
    TColor Color() const;
    bool ParentColor() const { return FParentColor; }
    int BlockSize() const;

    // Store and invalidate, also when unchanged.
    void SetColorElement(TColor Value) { SetColors(ElementIndex, Value); }
    void SetColorBorder(TColor Value) { SetColors(BorderIndex, Value); }
    // 0..100; throws std::out_of_range otherwise. Recomputes the border, invalidates.
    void SetAdvColorBorder(int Value);
    // When changed: ParentColor follows, the border is recomputed, invalidate.
    void SetUseAdvColors(bool Value);
    // When changed: exchange width and height (once loaded), repaint at once.
    void SetOrientation(TProgressBarOrientation Value);
    // When changed: repaint at once.
    void SetMin(int Value);
    void SetMax(int Value);
    void SetPosition(int Value);
    void SetStep(int Value);
    // When changed: invalidate.
    void SetSmooth(bool Value);
    // Sets ParentColor false; invalidates when the colour shown changes.
    void SetColor(TColor Value);
    void SetParentColor(bool Value);

    // The form has finished setting the bar up.
    void Loaded() { FLoading = false; }
    // The parent's colour changed, after the front end's own handling; and the system colours
    // changed. The bar follows its parent and, with UseAdvColors, recomputes its border.
    void ParentColorChanged() { ColorsChanged(); }
    void SystemColorsChanged() { ColorsChanged(); }

    // Draws the whole control. A block bar whose length does not fit its blocks resizes itself
    // first (the host paints it again at the new size) and then draws at the snapped length.
    void Paint(TCanvas& Canvas);

private:
    static constexpr int ElementIndex = 0;
    static constexpr int BorderIndex = 1;

    void SetColors(int Index, TColor Value);
    TColor ToRGB(TColor Value) const;
    void RecalcBorderColor();
    void FollowParentColor(bool Value);
    void ColorsChanged();
    // Block mode: gives the bar the length its blocks fit; the size it has afterwards.
    TSize SnapBlockLength();

    TFlatProgressBarHost& FHost;
    TColor FColors[2] = { DefaultElementColor, DefaultBorderColor };
    TAdvColors FAdvColorBorder = 50;
    bool FUseAdvColors = false;
    TProgressBarOrientation FOrientation = pbHorizontal;
    int FMin = 0;
    int FMax = 100;
    int FPosition = 0;
    int FStep = 10;
    bool FSmooth = false;
    TColor FColor = DefaultColor;
    bool FParentColor = true;
    bool FLoading = true;
};
