#include "TFlatProgressBarUnit.h"

#include "QtCanvas.h"

#include <QMouseEvent>

TFlatProgressBar::TFlatProgressBar(QWidget* parent)
    : TQtWidgetHost(parent)
{
}

std::optional<TColor> TFlatProgressBar::ParentBackground() const
{
    const QWidget* Parent = parentWidget();
    if (!Parent)
        return std::nullopt;
    return FromQColor(Parent->palette().color(Parent->backgroundRole()));
}

bool TFlatProgressBar::event(QEvent* Event)
{
    // The form sets its properties before the bar is first polished (just before it is shown).
    if (Event->type() == QEvent::Polish)
        FCore.Loaded();
    else if (Event->type() == QEvent::ParentChange)
        FCore.ParentColorChanged();
    return QWidget::event(Event);
}

void TFlatProgressBar::changeEvent(QEvent* Event)
{
    if (Event->type() == QEvent::PaletteChange)
        FCore.ParentColorChanged();
    else if (Event->type() == QEvent::ApplicationPaletteChange)
        FCore.SystemColorsChanged();
    QWidget::changeEvent(Event);
}

void TFlatProgressBar::paintEvent(QPaintEvent*)
{
    ++FPaintCount;
    TQtCanvas Canvas(*this);
    FCore.Paint(Canvas);
}

void TFlatProgressBar::mousePressEvent(QMouseEvent* Event)
{
    const QPoint Pos = Event->position().toPoint();
    emit OnMouseDown(Event->button(), Event->modifiers(), Pos.x(), Pos.y());
}

void TFlatProgressBar::mouseMoveEvent(QMouseEvent* Event)
{
    const QPoint Pos = Event->position().toPoint();
    emit OnMouseMove(Event->modifiers(), Pos.x(), Pos.y());
}

void TFlatProgressBar::mouseReleaseEvent(QMouseEvent* Event)
{
    const QPoint Pos = Event->position().toPoint();
    emit OnMouseUp(Event->button(), Event->modifiers(), Pos.x(), Pos.y());
}
