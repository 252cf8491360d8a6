// The drawing steps of the gradient push button, apart from the widget's state: each step paints
// onto a canvas, so that any front end (or a recording canvas in a test) can take them.
//
// Any thread that owns the canvas; never blocks.
#pragma once

#include "Canvas.h"

#include <string>
#include <vector>

enum TGradientStyle {
    gsHorizontal,
    gsVertical,
    gsElliptic,
    gsRectangle,
    gsVertCenter,
    gsHorizCenter
};
enum TTextStyle { tsNormal, tsRaised, tsInset };
enum TShadeType { stLight, stHeavy };
enum TPreset { None, GoldCoast, LimeBox, Aluminum, SunRise, BrassedOff };
enum TJustification { jLeft, jCenter, jRight };

// Step I of N from Begin to End, per channel: begin + I * (end - begin) div N. N 0 gives Begin.
// Both colours are RGB.
TColor GradientStep(TColor Begin, TColor End, int I, int N);
// Covers the whole Width x Height area from Begin to End in Style.
void PaintGradient(
    TCanvas& Canvas, TGradientStyle Style, TColor Begin, TColor End, int Width, int Height);

// A frame FrameSize pixels wide around Width x Height: TopLeft on the top and left edges,
// BottomRight on the bottom and right edges, which also own the top-right and bottom-left corners.
void PaintFrame3D(
    TCanvas& Canvas, int Width, int Height, TColor TopLeft, TColor BottomRight, int FrameSize);

// A caption without its accelerator markers: an ampersand before any other character is dropped
// and marks that character (the first such one is underlined), two ampersands leave one, and the
// last character is always kept. Text is UTF-8; AccelIndex is the byte where the marked
// character starts, -1 when there is none.
struct TCaptionText {
    std::string Text;
    int AccelIndex = -1;
    bool operator==(const TCaptionText&) const = default;
};
TCaptionText StripAccelerators(const std::string& Caption);
// The marked character itself (all of its UTF-8 bytes); empty when there is none.
std::string AcceleratorChar(const TCaptionText& Caption);

// One pass of the caption, DX, DY off the face anchor.
struct TCaptionLayer {
    int DX = 0;
    int DY = 0;
    TColor Color = 0;
    bool operator==(const TCaptionLayer&) const = default;
};
struct TCaptionColors {
    TColor Font = 0;
    TColor Disabled = 0;
    TColor TxtHilite = 0;
    TColor TxtShadow = 0;
};
// The layers in drawing order; a disabled button is inset with the disabled colour as its face.
std::vector<TCaptionLayer> CaptionLayers(
    TTextStyle Style, TShadeType Shade, bool Enabled, const TCaptionColors& Colors);
// Top-left corner of the caption's face; PressedOffset is 1 while the button is held down.
TPoint CaptionAnchor(TJustification Justification, TSize Button, TSize Text, int PressedOffset);
// Draws every layer with a transparent background.
void PaintCaption(TCanvas& Canvas, const TCaptionText& Caption, const TFont& Font, TPoint Anchor,
    const std::vector<TCaptionLayer>& Layers);

// The focus rectangle from (2, 2) to (Width - 2, Height - 2), exclusive.
TRect FocusRect(int Width, int Height);

// Everything one paint of the button needs, colours already in RGB.
struct TGradBtnLook {
    TGradientStyle GradientStyle = gsVertCenter;
    TColor Begin = 0;
    TColor End = 0;
    TColor BtnHilite = 0;
    TColor BtnShadow = 0;
    int BtnFrameSize = 1;
    bool Up = true;
    bool Enabled = true;
    bool ShowFocusRect = false;
    std::string Caption;
    TFont Font;
    TTextStyle TextStyle = tsRaised;
    TShadeType TextShadeType = stLight;
    TJustification Justification = jCenter;
    TCaptionColors CaptionColors;
};
// The whole face in order: gradient, frame, caption, focus rectangle.
void PaintGradBtnFace(TCanvas& Canvas, const TGradBtnLook& Look, TSize Size);
