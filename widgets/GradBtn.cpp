#include "GradBtn.h"

#include "SystemColors.h"

#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcutEvent>
#include <utility>

namespace {
constexpr int DefaultWidth = 75;
constexpr int DefaultHeight = 25;
// The frame must leave this much of each half of the button free.
constexpr int FrameReserve = 5;
} // namespace

TGradBtn::TGradBtn(QWidget* parent)
    : QWidget(parent)
    , FDisabledColor(clGrayText)
    , FBtnHiliteClr(clBtnHighlight)
    , FBtnShadowClr(clBtnShadow)
    , FTxtHiliteClr(clBtnHighlight)
    , FTxtShadowClr(clBtnShadow)
{
    resize(DefaultWidth, DefaultHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::StrongFocus);
}

void TGradBtn::SetColor(TColor& Field, TColor Value)
{
    if (Field == Value)
        return;
    Field = Value;
    update();
}

void TGradBtn::setBtnFrameSize(int Value)
{
    if (Value > width() / 2 - FrameReserve || Value > height() / 2 - FrameReserve)
        return;
    if (Value == FBtnFrameSize)
        return;
    FBtnFrameSize = Value;
    update();
}

void TGradBtn::setCaption(const QString& Value)
{
    if (Value == FCaption)
        return;
    FCaption = Value;
    GrabAccelerator();
    update();
}

void TGradBtn::GrabAccelerator()
{
    if (FAcceleratorId != 0)
        releaseShortcut(FAcceleratorId);
    FAcceleratorId = 0;
    const TCaptionText Text = StripAccelerators(FCaption);
    if (Text.AccelIndex >= 0)
        FAcceleratorId = grabShortcut(
            QKeySequence(QStringLiteral("Alt+") + Text.Text[Text.AccelIndex].toUpper()));
}

void TGradBtn::ExchangeColors()
{
    std::swap(FBeginColor, FEndColor);
    FColorsSwapped = !FColorsSwapped;
}

void TGradBtn::RestoreColors()
{
    // Only an exchange made by the hold is undone, so a click that did not follow a hold, or a
    // SwapColors change in between, leaves the stored colours alone.
    if (FColorsSwapped)
        ExchangeColors();
}

void TGradBtn::HoldDown()
{
    FUp = false;
    setFocus(Qt::MouseFocusReason);
    if (FSwapColors && !FColorsSwapped)
        ExchangeColors();
    update();
}

void TGradBtn::ReleaseHold()
{
    if (FClicked) {
        FClicked = false;
        return;
    }
    if (!FUp) {
        RestoreColors();
        FUp = true;
        update();
    }
}

void TGradBtn::Click()
{
    FClicked = true;
    RestoreColors();
    FUp = true;
    // The button shows itself released before the click is reported.
    repaint();
    emit OnClick();
}

void TGradBtn::SetPointerInside(bool Inside)
{
    if (Inside == FPointerInside)
        return;
    FPointerInside = Inside;
    if (FPrimaryHeld) {
        if (!Inside)
            ReleaseHold();
        else if (FUp)
            HoldDown();
    }
    if (Inside)
        emit OnMouseEnter();
    else
        emit OnMouseLeave();
}

void TGradBtn::mousePressEvent(QMouseEvent* Event)
{
    const QPoint Pos = Event->position().toPoint();
    emit OnMouseDown(Event->button(), Event->modifiers(), Pos.x(), Pos.y());
    // A new press begins a new press and release; a click flag left by a keyboard click must
    // not swallow its release.
    FClicked = false;
    if (Event->button() != Qt::LeftButton) {
        setFocus(Qt::MouseFocusReason);
        return;
    }
    FPrimaryHeld = true;
    FPointerInside = true;
    if (FUp)
        HoldDown();
}

void TGradBtn::mouseMoveEvent(QMouseEvent* Event)
{
    const QPoint Pos = Event->position().toPoint();
    if (FPrimaryHeld)
        SetPointerInside(rect().contains(Pos));
    emit OnMouseMove(Event->modifiers(), Pos.x(), Pos.y());
}

void TGradBtn::mouseReleaseEvent(QMouseEvent* Event)
{
    const QPoint Pos = Event->position().toPoint();
    if (Event->button() == Qt::LeftButton) {
        const bool Clicks = FPrimaryHeld && rect().contains(Pos);
        FPrimaryHeld = false;
        if (Clicks)
            Click();
    }
    emit OnMouseUp(Event->button(), Event->modifiers(), Pos.x(), Pos.y());
    ReleaseHold();
}

void TGradBtn::enterEvent(QEnterEvent*)
{
    SetPointerInside(true);
}

void TGradBtn::leaveEvent(QEvent*)
{
    SetPointerInside(false);
}

void TGradBtn::keyPressEvent(QKeyEvent* Event)
{
    if (Event->key() == Qt::Key_Return || Event->key() == Qt::Key_Enter) {
        Click();
        return;
    }
    QWidget::keyPressEvent(Event);
}

void TGradBtn::focusInEvent(QFocusEvent* Event)
{
    update();
    QWidget::focusInEvent(Event);
}

void TGradBtn::focusOutEvent(QFocusEvent* Event)
{
    update();
    QWidget::focusOutEvent(Event);
}

bool TGradBtn::event(QEvent* Event)
{
    if (Event->type() == QEvent::Shortcut) {
        if (static_cast<QShortcutEvent*>(Event)->shortcutId() == FAcceleratorId && isEnabled())
            Click();
        return true;
    }
    return QWidget::event(Event);
}

void TGradBtn::changeEvent(QEvent* Event)
{
    if (Event->type() == QEvent::EnabledChange)
        update();
    QWidget::changeEvent(Event);
}

TGradBtnLook TGradBtn::Look() const
{
    TGradBtnLook Look;
    Look.GradientStyle = FGradientStyle;
    Look.Begin = ToQColor(FBeginColor);
    Look.End = ToQColor(FEndColor);
    Look.BtnHilite = ToQColor(FBtnHiliteClr);
    Look.BtnShadow = ToQColor(FBtnShadowClr);
    Look.BtnFrameSize = FBtnFrameSize;
    Look.Up = FUp;
    Look.Enabled = isEnabled();
    Look.ShowFocusRect = FShowFocus && hasFocus();
    Look.Caption = FCaption;
    Look.Font = font();
    Look.TextStyle = FTextStyle;
    Look.TextShadeType = FTextShadeType;
    Look.Justification = FJustification;
    Look.CaptionColors = { ToQColor(FFontColor), ToQColor(FDisabledColor), ToQColor(FTxtHiliteClr),
        ToQColor(FTxtShadowClr) };
    return Look;
}

void TGradBtn::paintEvent(QPaintEvent*)
{
    ++FPaintCount;
    if (FBitmap.size() != size())
        FBitmap = QImage(size(), QImage::Format_RGB32);
    {
        QPainter Canvas(&FBitmap);
        PaintGradBtnFace(Canvas, Look(), size());
    }
    QPainter Screen(this);
    Screen.drawImage(0, 0, FBitmap);
}
