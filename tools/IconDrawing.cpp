#include "IconDrawing.h"

#include <QPainter>
#include <QString>
#include <QSvgRenderer>
#include <stdexcept>

namespace IconDrawing {

namespace {

// All coordinates are in a 256 x 256 view box.
constexpr int ViewBox = 256;
constexpr int SmallestDetailed = 32;

// The parts that differ between the detailed and the small drawing.
struct TLayout {
    double KeyInset; // the key's distance from the view box's edge
    double KeyRadius;
    double KeyEdge; // width of the key's dark outline
    double LampX, LampY, LampRadius;
    double TrayRadius; // the recessed round tray around the lamp
    bool Meter;
};

const TLayout Detailed{ 16, 48, 4, 106, 128, 50, 76, true };
const TLayout Small{ 8, 44, 10, 128, 128, 66, 100, false };

// The level meter: seven segments from the bottom up, the lower five lit.
constexpr double MeterLeft = 196;
constexpr double MeterWidth = 26;
constexpr double MeterBottom = 200;
constexpr double SegmentHeight = 15;
constexpr double SegmentGap = 6;
constexpr int Segments = 7;
constexpr int LitSegments = 5;

QString Number(double Value)
{
    return QString::number(Value, 'g', 6);
}

QString Defs()
{
    return QStringLiteral(R"(<defs>
<linearGradient id="face" x1="0" y1="0" x2="0" y2="1">
<stop offset="0" stop-color="#4e4349"/><stop offset="1" stop-color="#1d191c"/>
</linearGradient>
<radialGradient id="lamp" cx="0.4" cy="0.36" r="0.68">
<stop offset="0" stop-color="#ff9a86"/><stop offset="0.5" stop-color="#eb403a"/>
<stop offset="1" stop-color="#8a2521"/>
</radialGradient>
<radialGradient id="glow" cx="0.5" cy="0.5" r="0.5">
<stop offset="0.6" stop-color="#eb403a" stop-opacity="0.55"/>
<stop offset="1" stop-color="#eb403a" stop-opacity="0"/>
</radialGradient>
</defs>
)");
}

QString Key(const TLayout& L)
{
    const double Side = ViewBox - 2 * L.KeyInset;
    const double HalfEdge = L.KeyEdge / 2;
    QString Svg = QStringLiteral(
        "<rect x=\"%1\" y=\"%1\" width=\"%2\" height=\"%2\" rx=\"%3\" fill=\"url(#face)\" "
        "stroke=\"#0c0a0b\" stroke-width=\"%4\"/>\n")
                      .arg(Number(L.KeyInset + HalfEdge), Number(Side - L.KeyEdge),
                          Number(L.KeyRadius - HalfEdge), Number(L.KeyEdge));
    // A light line along the top inside edge, as on the skin's keys.
    const double Top = L.KeyInset + L.KeyEdge + 2;
    const double Left = L.KeyInset + L.KeyRadius;
    Svg += QStringLiteral("<path d=\"M%1 %2 H%3\" stroke=\"#ffffff\" stroke-opacity=\"0.22\" "
                          "stroke-width=\"%4\" stroke-linecap=\"round\"/>\n")
               .arg(Number(Left), Number(Top), Number(ViewBox - Left), Number(L.KeyEdge));
    return Svg;
}

QString Lamp(const TLayout& L)
{
    const QString Circle = QStringLiteral("<circle cx=\"%1\" cy=\"%2\" r=\"%3\" %4/>\n");
    const QString X = Number(L.LampX);
    const QString Y = Number(L.LampY);
    QString Svg;
    // The tray: a dark recess with a faint light lower rim.
    Svg += Circle.arg(
        X, Number(L.LampY + 2), Number(L.TrayRadius), "fill=\"#ffffff\" fill-opacity=\"0.10\"");
    Svg += Circle.arg(X, Y, Number(L.TrayRadius), "fill=\"#161315\"");
    Svg += Circle.arg(X, Y, Number(L.TrayRadius - 2), "fill=\"url(#glow)\"");
    Svg += Circle.arg(X, Y, Number(L.LampRadius),
        QStringLiteral("fill=\"url(#lamp)\" stroke=\"#5a1a17\" stroke-width=\"%1\"")
            .arg(Number(L.KeyEdge / 2 + 1)));
    if (L.Meter) {
        // A soft reflection on the upper left of the lamp.
        Svg += QStringLiteral("<ellipse cx=\"%1\" cy=\"%2\" rx=\"%3\" ry=\"%4\" fill=\"#ffffff\" "
                              "fill-opacity=\"0.38\" transform=\"rotate(-30 %1 %2)\"/>\n")
                   .arg(Number(L.LampX - L.LampRadius * 0.32),
                       Number(L.LampY - L.LampRadius * 0.45), Number(L.LampRadius * 0.42),
                       Number(L.LampRadius * 0.2));
    }
    return Svg;
}

QString SegmentColour(int Index)
{
    if (Index >= LitSegments)
        return QStringLiteral("#3b3236");
    if (Index >= 3)
        return QStringLiteral("#ffba30"); // amber near the top of the lit part
    return QStringLiteral("#ffffe1"); // the light yellow of the window's texts
}

QString Meter()
{
    QString Svg;
    for (int Index = 0; Index < Segments; ++Index) {
        const double Top = MeterBottom - (Index + 1) * SegmentHeight - Index * SegmentGap;
        Svg += QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" rx=\"3\" "
                              "fill=\"%5\"/>\n")
                   .arg(Number(MeterLeft), Number(Top), Number(MeterWidth), Number(SegmentHeight),
                       SegmentColour(Index));
    }
    return Svg;
}

QByteArray Drawing(const TLayout& L)
{
    QString Svg = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                 "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" "
                                 "width=\"%1\" height=\"%1\" viewBox=\"0 0 %1 %1\">\n")
                      .arg(ViewBox);
    Svg += QStringLiteral("<title>Corvatone</title>\n");
    Svg += Defs();
    Svg += Key(L);
    Svg += Lamp(L);
    if (L.Meter)
        Svg += Meter();
    Svg += QStringLiteral("</svg>\n");
    return Svg.toUtf8();
}

} // namespace

QByteArray ScalableSvg()
{
    return Drawing(Detailed);
}

QByteArray SvgForSize(int PixelSize)
{
    return Drawing(PixelSize < SmallestDetailed ? Small : Detailed);
}

QImage Render(int PixelSize)
{
    QSvgRenderer Renderer(SvgForSize(PixelSize));
    if (!Renderer.isValid())
        throw std::runtime_error("The icon's SVG cannot be rendered");
    QImage Image(PixelSize, PixelSize, QImage::Format_ARGB32_Premultiplied);
    Image.fill(Qt::transparent);
    QPainter Painter(&Image);
    Painter.setRenderHint(QPainter::Antialiasing);
    Renderer.render(&Painter);
    Painter.end();
    return Image.convertToFormat(QImage::Format_ARGB32);
}

} // namespace IconDrawing
