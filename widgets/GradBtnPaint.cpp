#include "GradBtnPaint.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTextLayout>
#include <cmath>
#include <cstdint>

namespace {

// The linear styles run through 256 colour steps; the elliptic one through 51.
constexpr int LinearSteps = 255;
constexpr int EllipticSteps = 50;
constexpr int BandDivisor = LinearSteps + 1;
constexpr int FocusInset = 2;
constexpr int CaptionMargin = 2;
// A caption is one line, never wrapped.
constexpr qreal UnboundedLine = 1e6;

int Channel(int Begin, int End, int I, int N)
{
    return int(Begin + int64_t(I) * (End - Begin) / N);
}

void FillBand(QPainter& Painter, int Left, int Top, int Right, int Bottom, const QColor& Color)
{
    if (Right > Left && Bottom > Top)
        Painter.fillRect(Left, Top, Right - Left, Bottom - Top, Color);
}

void PaintLinear(QPainter& Painter, bool Horizontal, const QColor& Begin, const QColor& End,
    int Width, int Height)
{
    const int Extent = Horizontal ? Width : Height;
    for (int I = 0; I <= LinearSteps; ++I) {
        const int From = int(int64_t(I) * Extent / BandDivisor);
        const int To = int(int64_t(I + 1) * Extent / BandDivisor);
        const QColor Color = GradientStep(Begin, End, I, LinearSteps);
        if (Horizontal)
            FillBand(Painter, From, 0, To, Height, Color);
        else
            FillBand(Painter, 0, From, Width, To, Color);
    }
}

void PaintCentred(QPainter& Painter, bool Horizontal, const QColor& Begin, const QColor& End,
    int Width, int Height)
{
    const int Extent = Horizontal ? Width : Height;
    const int Half = Extent / 2;
    for (int I = 0; I <= Half; ++I) {
        const QColor Color = GradientStep(Begin, End, I, Half);
        if (Horizontal) {
            FillBand(Painter, I, 0, I + 1, Height, Color);
            FillBand(Painter, Width - I - 1, 0, Width - I, Height, Color);
        } else {
            FillBand(Painter, 0, I, Width, I + 1, Color);
            FillBand(Painter, 0, Height - I - 1, Width, Height - I, Color);
        }
    }
}

void PaintRectangles(
    QPainter& Painter, const QColor& Begin, const QColor& End, int Width, int Height)
{
    const double StepX = Width / 2.0 / LinearSteps;
    const double StepY = Height / 2.0 / LinearSteps;
    double Left = 0, Top = 0, Right = Width + 2, Bottom = Height + 2;
    for (int I = 0; I <= LinearSteps; ++I) {
        Left += StepX;
        Right -= StepX;
        Top += StepY;
        Bottom -= StepY;
        FillBand(Painter, int(Left), int(Top), int(Right), int(Bottom),
            GradientStep(Begin, End, I, LinearSteps));
    }
}

void PaintEllipses(QPainter& Painter, const QColor& Begin, const QColor& End, int Width, int Height)
{
    const int ThirdW = Width / 3;
    const int ThirdH = Height / 3;
    Painter.setPen(Qt::NoPen);
    for (int I = 0; I <= EllipticSteps; ++I) {
        const int R = (Width + 2 * ThirdW) * I / 100;
        const int T = (Height + 2 * ThirdH) * I / 100;
        const int Left = -ThirdW + R, Top = -ThirdH + T;
        const int Right = Width + ThirdW - R, Bottom = Height + ThirdH - T;
        if (Right <= Left || Bottom <= Top)
            continue;
        Painter.setBrush(GradientStep(Begin, End, I, EllipticSteps));
        Painter.drawEllipse(Left, Top, Right - Left, Bottom - Top);
    }
    Painter.setBrush(Qt::NoBrush);
}

} // namespace

QColor GradientStep(const QColor& Begin, const QColor& End, int I, int N)
{
    // A button too small for its centre style has a single step: its begin colour.
    if (N == 0)
        return Begin;
    return QColor(Channel(Begin.red(), End.red(), I, N), Channel(Begin.green(), End.green(), I, N),
        Channel(Begin.blue(), End.blue(), I, N));
}

void PaintGradient(QPainter& Painter, TGradientStyle Style, const QColor& Begin, const QColor& End,
    int Width, int Height)
{
    switch (Style) {
    case gsHorizontal:
        return PaintLinear(Painter, true, Begin, End, Width, Height);
    case gsVertical:
        return PaintLinear(Painter, false, Begin, End, Width, Height);
    case gsVertCenter:
        return PaintCentred(Painter, false, Begin, End, Width, Height);
    case gsHorizCenter:
        return PaintCentred(Painter, true, Begin, End, Width, Height);
    case gsRectangle:
        return PaintRectangles(Painter, Begin, End, Width, Height);
    case gsElliptic:
        return PaintEllipses(Painter, Begin, End, Width, Height);
    }
}

void PaintFrame3D(QPainter& Painter, int Width, int Height, const QColor& TopLeft,
    const QColor& BottomRight, int FrameSize)
{
    for (int K = 0; K < FrameSize; ++K) {
        const int L = K, T = K, R = Width - K, B = Height - K;
        FillBand(Painter, L, T, R - 1, T + 1, TopLeft);
        FillBand(Painter, L, T, L + 1, B - 1, TopLeft);
        FillBand(Painter, R - 1, T, R, B, BottomRight);
        FillBand(Painter, L, B - 1, R, B, BottomRight);
    }
}

TCaptionText StripAccelerators(const QString& Caption)
{
    TCaptionText Result;
    const qsizetype Last = Caption.size() - 1;
    for (qsizetype I = 0; I <= Last; ++I) {
        if (Caption[I] == u'&' && I < Last) {
            ++I;
            if (Caption[I] != u'&' && Result.AccelIndex < 0)
                Result.AccelIndex = int(Result.Text.size());
        }
        Result.Text += Caption[I];
    }
    return Result;
}

std::vector<TCaptionLayer> CaptionLayers(
    TTextStyle Style, TShadeType Shade, bool Enabled, const TCaptionColors& Colors)
{
    if (!Enabled)
        Style = tsInset;
    const QColor Face = Enabled ? Colors.Font : Colors.Disabled;
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

QPoint CaptionAnchor(TJustification Justification, QSize Button, QSize Text, int PressedOffset)
{
    const int Y = (Button.height() - Text.height()) / 2 + PressedOffset;
    switch (Justification) {
    case jLeft:
        return { CaptionMargin + PressedOffset, Y };
    case jRight:
        return { Button.width() - Text.width() - CaptionMargin + PressedOffset, Y };
    case jCenter:
        break;
    }
    return { (Button.width() - Text.width()) / 2 + PressedOffset, Y };
}

QSize CaptionSize(const TCaptionText& Caption, const QFont& Font)
{
    const QFontMetrics Metrics(Font);
    return { Metrics.horizontalAdvance(Caption.Text), Metrics.height() };
}

void PaintCaption(QPainter& Painter, const TCaptionText& Caption, QPoint Anchor,
    const std::vector<TCaptionLayer>& Layers)
{
    QTextLayout Layout(Caption.Text, Painter.font(), Painter.device());
    if (Caption.AccelIndex >= 0) {
        QTextLayout::FormatRange Accel;
        Accel.start = Caption.AccelIndex;
        Accel.length = 1;
        Accel.format.setFontUnderline(true);
        Layout.setFormats({ Accel });
    }
    Layout.beginLayout();
    QTextLine Line = Layout.createLine();
    Line.setLineWidth(UnboundedLine);
    Line.setPosition({ 0, 0 });
    Layout.endLayout();
    Painter.setBackgroundMode(Qt::TransparentMode);
    for (const TCaptionLayer& Layer : Layers) {
        Painter.setPen(Layer.Color);
        Layout.draw(&Painter, QPointF(Anchor.x() + Layer.DX, Anchor.y() + Layer.DY));
    }
}

void PaintFocusRect(QPainter& Painter, int Width, int Height)
{
    const int L = FocusInset, T = FocusInset, R = Width - FocusInset, B = Height - FocusInset;
    if (R <= L || B <= T)
        return;
    Painter.save();
    Painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    Painter.setPen(QColor(255, 255, 255));
    auto Dot = [&](int X, int Y) {
        if ((X + Y) % 2 == 0)
            Painter.drawPoint(X, Y);
    };
    for (int X = L; X < R; ++X) {
        Dot(X, T);
        if (B - 1 > T)
            Dot(X, B - 1);
    }
    for (int Y = T + 1; Y < B - 1; ++Y) {
        Dot(L, Y);
        if (R - 1 > L)
            Dot(R - 1, Y);
    }
    Painter.restore();
}

void PaintGradBtnFace(QPainter& Painter, const TGradBtnLook& Look, QSize Size)
{
    const int W = Size.width(), H = Size.height();
    PaintGradient(Painter, Look.GradientStyle, Look.Begin, Look.End, W, H);
    // Held down, the frame's light and dark edges exchange and the caption moves a pixel.
    const QColor& TopLeft = Look.Up ? Look.BtnHilite : Look.BtnShadow;
    const QColor& BottomRight = Look.Up ? Look.BtnShadow : Look.BtnHilite;
    PaintFrame3D(Painter, W, H, TopLeft, BottomRight, Look.BtnFrameSize);
    const int PressedOffset = Look.Up ? 0 : 1;
    const TCaptionText Caption = StripAccelerators(Look.Caption);
    Painter.setFont(Look.Font);
    const QPoint Anchor
        = CaptionAnchor(Look.Justification, Size, CaptionSize(Caption, Look.Font), PressedOffset);
    PaintCaption(Painter, Caption, Anchor,
        CaptionLayers(Look.TextStyle, Look.TextShadeType, Look.Enabled, Look.CaptionColors));
    if (Look.ShowFocusRect)
        PaintFocusRect(Painter, W, H);
}
