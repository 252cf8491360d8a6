#include "TChooserLabel.h"

#include "FocusMark.h"
#include "QtCanvas.h"

#include <QPainter>

TChooserLabel::TChooserLabel(const QString& Text, QWidget* Parent)
    : QLabel(Text, Parent)
{
    setFocusPolicy(Qt::TabFocus);
}

void TChooserLabel::paintEvent(QPaintEvent* Event)
{
    QLabel::paintEvent(Event);
    if (!hasFocus())
        return;
    // QLabel repaints itself on focus changes: the mark comes and goes with the focus.
    QPainter Painter(this);
    TQtCanvas Canvas(Painter);
    PaintFocusMark(Canvas, TSize{ width(), height() });
}
