// Corvatone's application icon: a dark key in the skin's colours with a lit red recording lamp
// and, from 32 pixels up, a level meter beside it. The picture is written as SVG; the PNG sizes
// are rasterised from that same SVG, so every size shows one drawing.
//
// Build-time helper; any thread that has a QGuiApplication.
#pragma once

#include <QByteArray>
#include <QImage>
#include <vector>

namespace IconDrawing {

// The sizes that a Windows icon resource carries.
inline const std::vector<int> WindowsSizes{ 16, 24, 32, 48, 256 };

// The scalable picture: the detailed drawing, meant for 32 pixels and more.
QByteArray ScalableSvg();

// The SVG drawn for one pixel size: below 32 pixels the meter is left out and the lamp grows,
// so that the small sizes stay legible.
QByteArray SvgForSize(int PixelSize);

// The icon rasterised at PixelSize x PixelSize, ARGB32 (not premultiplied), transparent around
// the key. Throws std::runtime_error when the SVG cannot be rendered.
QImage Render(int PixelSize);

} // namespace IconDrawing
