#include "TBevel.h"

#include <QPainter>

void TBevel::paintEvent(QPaintEvent*)
{
    QPainter Painter(this);
    const QColor Shadow = palette().color(QPalette::Dark);
    const QColor Highlight = palette().color(QPalette::Light);
    const int Right = width() - 1;
    const int Bottom = height() - 1;
    if (FShape == bsTopLine) {
        Painter.setPen(Shadow);
        Painter.drawLine(0, 0, Right, 0);
        Painter.setPen(Highlight);
        Painter.drawLine(0, 1, Right, 1);
        return;
    }
    Painter.setPen(Shadow);
    Painter.drawLine(0, 0, Right, 0);
    Painter.drawLine(0, 0, 0, Bottom);
    Painter.setPen(Highlight);
    Painter.drawLine(0, Bottom, Right, Bottom);
    Painter.drawLine(Right, 0, Right, Bottom);
}
