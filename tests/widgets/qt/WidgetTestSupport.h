// Helpers for pixel tests of the widgets: the application object and offscreen renderings.
#pragma once

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QWidget>
#include <ostream>
#include <vector>

// Readable colours in test failures.
inline void PrintTo(const QColor& Color, std::ostream* Out)
{
    *Out << "rgb(" << Color.red() << ", " << Color.green() << ", " << Color.blue() << ")";
}

namespace WidgetTest {

// The one application object of the test program, created on first use on the main thread and
// destroyed when the tests end, before the toolkit's own statics go.
QApplication& App();

// Paints the widget as it would appear, in 32-bit RGB.
inline QImage Render(QWidget& Widget)
{
    return Widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

inline QColor At(const QImage& Image, int X, int Y)
{
    return Image.pixelColor(X, Y);
}

inline QColor Grey(int Level)
{
    return QColor(Level, Level, Level);
}

// Handles the events posted so far (deferred repaints among them).
inline void Settle()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

// Start and length of each run of Color along a row or a column.
struct TRun {
    int Start;
    int Length;
    bool operator==(const TRun&) const = default;
};
inline void PrintTo(const TRun& Run, std::ostream* Out)
{
    *Out << "{" << Run.Start << ", " << Run.Length << "}";
}
template <typename TPixelAt>
std::vector<TRun> Runs(int Count, const QColor& Color, TPixelAt PixelAt)
{
    std::vector<TRun> Result;
    for (int I = 0; I < Count; ++I) {
        if (PixelAt(I) != Color)
            continue;
        if (!Result.empty() && Result.back().Start + Result.back().Length == I)
            ++Result.back().Length;
        else
            Result.push_back({ I, 1 });
    }
    return Result;
}
inline std::vector<TRun> RunsInRow(const QImage& Image, int Y, const QColor& Color)
{
    return Runs(Image.width(), Color, [&](int X) { return Image.pixelColor(X, Y); });
}
inline std::vector<TRun> RunsInColumn(const QImage& Image, int X, const QColor& Color)
{
    return Runs(Image.height(), Color, [&](int Y) { return Image.pixelColor(X, Y); });
}
inline int CountOf(const QImage& Image, const QColor& Color)
{
    int Count = 0;
    for (int Y = 0; Y < Image.height(); ++Y)
        for (int X = 0; X < Image.width(); ++X)
            Count += Image.pixelColor(X, Y) == Color;
    return Count;
}

} // namespace WidgetTest
