#include "TBevel.h"

#include "QtCanvas.h"
#include "SystemColors.h"

void TBevel::paintEvent(QPaintEvent*)
{
    TQtCanvas Canvas(*static_cast<QPaintDevice*>(this));
    PaintBevel(Canvas, FShape, TSize{ width(), height() }, QtSystemPalette());
}
