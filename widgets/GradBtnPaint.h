// The drawing steps of the gradient push button, apart from the widget's state so that they can
// paint into any QPainter (the button's off-screen bitmap, or a QImage in a test).
//
// GUI thread, or any thread that owns the painter's device; never blocks.
#pragma once

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QSize>
#include <QString>
#include <vector>

class QPainter;

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
QColor GradientStep(const QColor& Begin, const QColor& End, int I, int N);
// Covers the whole Width x Height area from Begin to End in Style.
void PaintGradient(QPainter& Painter, TGradientStyle Style, const QColor& Begin, const QColor& End,
    int Width, int Height);

// A frame FrameSize pixels wide around Width x Height: TopLeft on the top and left edges,
// BottomRight on the bottom and right edges, which also own the top-right and bottom-left corners.
void PaintFrame3D(QPainter& Painter, int Width, int Height, const QColor& TopLeft,
    const QColor& BottomRight, int FrameSize);

// A caption without its accelerator markers: an ampersand before any other character is dropped
// and marks that character (the first such one is underlined), two ampersands leave one, and the
// last character is always kept.
struct TCaptionText {
    QString Text;
    int AccelIndex = -1;
    bool operator==(const TCaptionText&) const = default;
};
TCaptionText StripAccelerators(const QString& Caption);

// One pass of the caption, DX, DY off the face anchor.
struct TCaptionLayer {
    int DX = 0;
    int DY = 0;
    QColor Color;
    bool operator==(const TCaptionLayer&) const = default;
};
struct TCaptionColors {
    QColor Font;
    QColor Disabled;
    QColor TxtHilite;
    QColor TxtShadow;
};
// The layers in drawing order; a disabled button is inset with the disabled colour as its face.
std::vector<TCaptionLayer> CaptionLayers(
    TTextStyle Style, TShadeType Shade, bool Enabled, const TCaptionColors& Colors);
// Top-left corner of the caption's face; PressedOffset is 1 while the button is held down.
QPoint CaptionAnchor(TJustification Justification, QSize Button, QSize Text, int PressedOffset);
// Width of the text without markers and height of a line, in Font.
QSize CaptionSize(const TCaptionText& Caption, const QFont& Font);
// Draws every layer with a transparent background in the painter's font.
void PaintCaption(QPainter& Painter, const TCaptionText& Caption, QPoint Anchor,
    const std::vector<TCaptionLayer>& Layers);

// The dotted focus rectangle from (2, 2) to (Width - 2, Height - 2): every other pixel of its
// outline inverted, so that drawing it twice leaves the picture as it was.
void PaintFocusRect(QPainter& Painter, int Width, int Height);

// Everything one paint of the button needs, colours already resolved.
struct TGradBtnLook {
    TGradientStyle GradientStyle = gsVertCenter;
    QColor Begin;
    QColor End;
    QColor BtnHilite;
    QColor BtnShadow;
    int BtnFrameSize = 1;
    bool Up = true;
    bool Enabled = true;
    bool ShowFocusRect = false;
    QString Caption;
    QFont Font;
    TTextStyle TextStyle = tsRaised;
    TShadeType TextShadeType = stLight;
    TJustification Justification = jCenter;
    TCaptionColors CaptionColors;
};
// The whole face in order: gradient, frame, caption, focus rectangle.
void PaintGradBtnFace(QPainter& Painter, const TGradBtnLook& Look, QSize Size);
