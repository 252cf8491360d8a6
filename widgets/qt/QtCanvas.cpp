#include "QtCanvas.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPalette>
#include <QTextLayout>

namespace {

// A caption is one line, never wrapped.
constexpr qreal UnboundedLine = 1e6;

// The canvas takes plain RGB only.
QColor QColorOf(TColor Rgb)
{
    return QColor(GetRValue(Rgb), GetGValue(Rgb), GetBValue(Rgb));
}

struct TRole {
    QPalette::ColorGroup Group;
    QPalette::ColorRole Role;
};

// Indexed by the classic system colour index (clScrollBar .. clInfoBk).
constexpr TRole SystemRoles[SystemColorCount] = {
    { QPalette::Active, QPalette::Button }, // scroll bar
    { QPalette::Active, QPalette::Highlight }, // desktop
    { QPalette::Active, QPalette::Highlight }, // active caption
    { QPalette::Inactive, QPalette::Mid }, // inactive caption
    { QPalette::Active, QPalette::Window }, // menu
    { QPalette::Active, QPalette::Base }, // window
    { QPalette::Active, QPalette::Shadow }, // window frame
    { QPalette::Active, QPalette::WindowText }, // menu text
    { QPalette::Active, QPalette::Text }, // window text
    { QPalette::Active, QPalette::HighlightedText }, // caption text
    { QPalette::Active, QPalette::Window }, // active border
    { QPalette::Inactive, QPalette::Window }, // inactive border
    { QPalette::Active, QPalette::Dark }, // application workspace
    { QPalette::Active, QPalette::Highlight }, // highlight
    { QPalette::Active, QPalette::HighlightedText }, // highlight text
    { QPalette::Active, QPalette::Button }, // button face
    { QPalette::Active, QPalette::Dark }, // 3-D shadow
    { QPalette::Disabled, QPalette::Text }, // grey text
    { QPalette::Active, QPalette::ButtonText }, // button text
    { QPalette::Disabled, QPalette::WindowText }, // inactive caption text
    { QPalette::Active, QPalette::Light }, // 3-D highlight
    { QPalette::Active, QPalette::Shadow }, // 3-D dark shadow
    { QPalette::Active, QPalette::Midlight }, // 3-D light
    { QPalette::Active, QPalette::ToolTipText }, // tooltip text
    { QPalette::Active, QPalette::ToolTipBase }, // tooltip background
};

} // namespace

QFont ToQFont(const TFont& Font)
{
    QFont Result(QString::fromStdString(Font.Family));
    Result.setPixelSize(Font.PixelSize);
    Result.setWeight(QFont::Weight(Font.Weight));
    Result.setItalic(Font.Italic);
    Result.setUnderline(Font.Underline);
    Result.setStrikeOut(Font.StrikeOut);
    if (!Font.Antialiased)
        Result.setStyleStrategy(QFont::NoAntialias);
    return Result;
}

TFont FromQFont(const QFont& Font)
{
    TFont Result;
    Result.Family = Font.family().toStdString();
    Result.PixelSize = Font.pixelSize() > 0 ? Font.pixelSize() : QFontInfo(Font).pixelSize();
    Result.Weight = int(Font.weight());
    Result.Italic = Font.italic();
    Result.Underline = Font.underline();
    Result.StrikeOut = Font.strikeOut();
    Result.Antialiased = !(Font.styleStrategy() & QFont::NoAntialias);
    return Result;
}

TSystemPalette QtSystemPalette()
{
    const QPalette Palette = QGuiApplication::palette();
    TSystemPalette Result;
    for (std::size_t I = 0; I < SystemColorCount; ++I)
        Result[I] = FromQColor(Palette.color(SystemRoles[I].Group, SystemRoles[I].Role));
    return Result;
}

TColor FromQColor(const QColor& Color)
{
    const QRgb Value = Color.rgb();
    return RGB(uint8_t(qRed(Value)), uint8_t(qGreen(Value)), uint8_t(qBlue(Value)));
}

TColor ColorToRGB(TColor Color)
{
    return ColorToRGB(Color, QtSystemPalette());
}

QColor ToQColor(TColor Color)
{
    return QColorOf(ColorToRGB(Color));
}

QPainter& TQtCanvas::Active()
{
    if (!FPainter) {
        FOwnPainter.emplace(FDevice);
        FPainter = &*FOwnPainter;
    }
    return *FPainter;
}

void TQtCanvas::FillRect(const TRect& R, TColor Color)
{
    if (!R.Empty())
        Active().fillRect(R.Left, R.Top, R.Width(), R.Height(), QColorOf(Color));
}

void TQtCanvas::FrameRect(const TRect& R, TColor Color)
{
    FillRect({ R.Left, R.Top, R.Right, R.Top + 1 }, Color);
    FillRect({ R.Left, R.Bottom - 1, R.Right, R.Bottom }, Color);
    FillRect({ R.Left, R.Top, R.Left + 1, R.Bottom }, Color);
    FillRect({ R.Right - 1, R.Top, R.Right, R.Bottom }, Color);
}

void TQtCanvas::FillEllipse(const TRect& Bounds, TColor Color)
{
    if (Bounds.Empty())
        return;
    QPainter& Painter = Active();
    Painter.save();
    Painter.setPen(Qt::NoPen);
    Painter.setBrush(QColorOf(Color));
    Painter.drawEllipse(Bounds.Left, Bounds.Top, Bounds.Width(), Bounds.Height());
    Painter.restore();
}

void TQtCanvas::DrawFocusRect(const TRect& R)
{
    if (R.Empty())
        return;
    QPainter& Painter = Active();
    Painter.save();
    Painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    Painter.setPen(QColor(255, 255, 255));
    auto Dot = [&](int X, int Y) {
        if ((X - R.Left + Y - R.Top) % 2 == 0)
            Painter.drawPoint(X, Y);
    };
    const int Last = R.Bottom - 1, LastColumn = R.Right - 1;
    for (int X = R.Left; X < R.Right; ++X) {
        Dot(X, R.Top);
        if (Last > R.Top)
            Dot(X, Last);
    }
    for (int Y = R.Top + 1; Y < Last; ++Y) {
        Dot(R.Left, Y);
        if (LastColumn > R.Left)
            Dot(LastColumn, Y);
    }
    Painter.restore();
}

TSize TQtCanvas::TextExtent(const std::string& Text, const TFont& Font)
{
    const QFontMetrics Metrics(ToQFont(Font));
    return { Metrics.horizontalAdvance(QString::fromStdString(Text)), Metrics.height() };
}

void TQtCanvas::TextOut(
    TPoint At, const std::string& Text, int UnderlineAt, const TFont& Font, TColor Color)
{
    QPainter& Painter = Active();
    Painter.setFont(ToQFont(Font));
    QTextLayout Layout(QString::fromStdString(Text), Painter.font(), Painter.device());
    if (UnderlineAt >= 0) {
        QTextLayout::FormatRange Underlined;
        // The byte offset becomes an offset in UTF-16 units; a character beyond the basic plane
        // takes two.
        const QString Before = QString::fromStdString(Text.substr(0, size_t(UnderlineAt)));
        const QString From = QString::fromStdString(Text.substr(size_t(UnderlineAt)));
        Underlined.start = int(Before.size());
        Underlined.length = !From.isEmpty() && From.front().isHighSurrogate() ? 2 : 1;
        Underlined.format.setFontUnderline(true);
        Layout.setFormats({ Underlined });
    }
    Layout.beginLayout();
    QTextLine Line = Layout.createLine();
    Line.setLineWidth(UnboundedLine);
    Line.setPosition({ 0, 0 });
    Layout.endLayout();
    Painter.setBackgroundMode(Qt::TransparentMode);
    Painter.setPen(QColorOf(Color));
    Layout.draw(&Painter, QPointF(At.X, At.Y));
}
