// TCanvas over a QPainter, and the conversions between TFont and QFont. The widgets' paint steps
// reach Qt only through this.
//
// GUI thread, or any thread that owns the painter's device; never blocks.
#pragma once

#include "Canvas.h"

#include <QFont>
#include <QPainter>
#include <optional>

QFont ToQFont(const TFont& Font);
// A size given in points becomes the pixel size it is shown at.
TFont FromQFont(const QFont& Font);

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
