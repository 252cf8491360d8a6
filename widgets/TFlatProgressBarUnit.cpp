#include "TFlatProgressBarUnit.h"

#include "FlatBarPaint.h"
#include "SystemColors.h"

#include <QMouseEvent>
#include <QPainter>
#include <stdexcept>
#include <string>

namespace {
constexpr int DefaultWidth = 147;
constexpr int DefaultHeight = 16;
} // namespace

TFlatProgressBar::TFlatProgressBar(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    resize(DefaultWidth, DefaultHeight);
    setOrientation(::pbHorizontal);
}

TColor TFlatProgressBar::Color() const
{
    const QWidget* Parent = parentWidget();
    if (FParentColor && Parent)
        return FromQColor(Parent->palette().color(Parent->backgroundRole()));
    return FColor;
}

int TFlatProgressBar::BlockSize() const
{
    return ::BlockSize;
}

void TFlatProgressBar::SetColors(int Index, TColor Value)
{
    FColors[Index] = Value;
    update();
}

void TFlatProgressBar::setAdvColorBorder(int Value)
{
    if (Value < 0 || Value > MaxAdvColors)
        throw std::out_of_range(
            "AdvColorBorder must be between 0 and 100, not " + std::to_string(Value));
    FAdvColorBorder = TAdvColors(Value);
    RecalcBorderColor();
    update();
}

void TFlatProgressBar::setUseAdvColors(bool Value)
{
    if (Value == FUseAdvColors)
        return;
    FUseAdvColors = Value;
    FollowParentColor(Value);
    RecalcBorderColor();
    update();
}

void TFlatProgressBar::setOrientation(TProgressBarOrientation Value)
{
    if (Value == FOrientation)
        return;
    FOrientation = Value;
    if (FPolished)
        resize(height(), width());
    repaint();
}

void TFlatProgressBar::setMin(int Value)
{
    if (Value == FMin)
        return;
    FMin = Value;
    repaint();
}

void TFlatProgressBar::setMax(int Value)
{
    if (Value == FMax)
        return;
    FMax = Value;
    repaint();
}

void TFlatProgressBar::setPosition(int Value)
{
    if (Value == FPosition)
        return;
    FPosition = Value;
    repaint();
}

void TFlatProgressBar::setStep(int Value)
{
    if (Value == FStep)
        return;
    FStep = Value;
    repaint();
}

void TFlatProgressBar::setSmooth(bool Value)
{
    if (Value == FSmooth)
        return;
    FSmooth = Value;
    update();
}

void TFlatProgressBar::setColor(TColor Value)
{
    const bool Changed = Value != Color();
    FColor = Value;
    FParentColor = false;
    if (Changed)
        update();
}

void TFlatProgressBar::setParentColor(bool Value)
{
    if (Value == FParentColor)
        return;
    FollowParentColor(Value);
    update();
}

void TFlatProgressBar::FollowParentColor(bool Value)
{
    // Turning it off keeps the colour the bar has just shown.
    FColor = Color();
    FParentColor = Value;
}

void TFlatProgressBar::RecalcBorderColor()
{
    if (FUseAdvColors)
        FColors[BorderIndex]
            = DarkenColor(Color(), FColors[BorderIndex], FAdvColorBorder, ColorToRGB);
}

void TFlatProgressBar::ColorsChanged()
{
    if (FUseAdvColors) {
        FollowParentColor(true);
        RecalcBorderColor();
    }
    update();
}

bool TFlatProgressBar::event(QEvent* Event)
{
    // The form sets its properties before the bar is first polished (just before it is shown).
    if (Event->type() == QEvent::Polish)
        FPolished = true;
    else if (Event->type() == QEvent::ParentChange)
        ColorsChanged();
    return QWidget::event(Event);
}

void TFlatProgressBar::changeEvent(QEvent* Event)
{
    // The parent's colour or the system colours changed.
    if (Event->type() == QEvent::PaletteChange || Event->type() == QEvent::ApplicationPaletteChange)
        ColorsChanged();
    QWidget::changeEvent(Event);
}

bool TFlatProgressBar::SnapBlockLength()
{
    if (FOrientation == ::pbHorizontal) {
        const int Length = SnappedBlockLength(width());
        if (Length == width())
            return false;
        resize(Length, height());
    } else {
        const int Length = SnappedBlockLength(height());
        if (Length == height())
            return false;
        resize(width(), Length);
    }
    return true;
}

void TFlatProgressBar::paintEvent(QPaintEvent*)
{
    ++FPaintCount;
    // A resize repaints the bar once more, with the length already snapped.
    if (!FSmooth)
        SnapBlockLength();
    const TFlatBarLook Look{ ToQColor(Color()), ToQColor(ColorBorder()), ToQColor(ColorElement()),
        FOrientation, FSmooth, FPosition };
    QPainter Painter(this);
    PaintFlatBar(Painter, Look, { 0, 0, width(), height() });
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
