// The widgets' way to Qt: TCanvas over a QPainter, the conversions between TFont and QFont and
// between TColor and QColor, the system colours from the application palette, and what every
// self-drawn widget gives its toolkit-free core alike (TQtWidgetHost). The widgets' paint steps
// reach Qt only through this.
//
// The desktop colour has no palette role; it follows the palette's Highlight, the accent colour
// the user's theme chooses.
//
// GUI thread: the colours read the application palette and need the application object; the
// canvas may also run on any thread that owns the painter's device. Nothing blocks.
#pragma once

#include "Canvas.h"
#include "Colors.h"
#include "SystemPalette.h"
#include "WidgetHost.h"

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QWidget>
#include <optional>

QFont ToQFont(const TFont& Font);
// A size given in points becomes the pixel size it is shown at.
TFont FromQFont(const QFont& Font);

// Every system colour's present value in the application palette.
TSystemPalette QtSystemPalette();
// Plain RGB for any colour, system colours read from the application palette.
TColor ColorToRGB(TColor Color);
QColor ToQColor(TColor Color);
TColor FromQColor(const QColor& Color);

class TQtCanvas : public TCanvas {
public:
    // Painter must stay active as long as the canvas is used.
    explicit TQtCanvas(QPainter& Painter)
        : FPainter(&Painter)
    {
    }
    // Begins painting on Device at the first drawing call, so that a widget may still resize
    // itself before (a block bar does) and ends when the canvas goes.
    explicit TQtCanvas(QPaintDevice& Device)
        : FDevice(&Device)
    {
    }

    void FillRect(const TRect& R, TColor Color) override;
    void FrameRect(const TRect& R, TColor Color) override;
    void FillEllipse(const TRect& Bounds, TColor Color) override;
    void DrawFocusRect(const TRect& R) override;
    TSize TextExtent(const std::string& Text, const TFont& Font) override;
    void TextOut(TPoint At, const std::string& Text, int UnderlineAt, const TFont& Font,
        TColor Color) override;

private:
    QPainter& Active();

    QPainter* FPainter = nullptr;
    QPaintDevice* FDevice = nullptr;
    std::optional<QPainter> FOwnPainter;
};

// The size, the repaints and the system colours of a self-drawn widget, for its core. THost is
// the core's host interface (TGradBtnHost, TFlatProgressBarHost); the widget adds the rest of it.
template <typename THost> class TQtWidgetHost : public QWidget, protected THost {
public:
    // The core paints every pixel, without a background of the system's under it.
    explicit TQtWidgetHost(QWidget* Parent)
        : QWidget(Parent)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_NoSystemBackground);
    }

protected:
    TSize Size() const override { return { width(), height() }; }
    void Resize(TSize NewSize) override { resize(NewSize.Width, NewSize.Height); }
    void Invalidate() override { update(); }
    void Repaint() override { repaint(); }
    TSystemPalette SystemPalette() const override { return QtSystemPalette(); }
};
