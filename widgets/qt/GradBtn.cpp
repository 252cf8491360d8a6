#include "GradBtn.h"

#include "QtCanvas.h"

#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcutEvent>

namespace {

TMouseButton FromQt(Qt::MouseButton Button)
{
    switch (Button) {
    case Qt::LeftButton:
        return mbLeft;
    case Qt::RightButton:
        return mbRight;
    default:
        // The button knows the primary button only; any other one just takes the focus.
        return mbMiddle;
    }
}

Qt::MouseButton ToQt(TMouseButton Button)
{
    switch (Button) {
    case mbLeft:
        return Qt::LeftButton;
    case mbRight:
        return Qt::RightButton;
    case mbMiddle:
        break;
    }
    return Qt::MiddleButton;
}

TShiftState FromQt(Qt::KeyboardModifiers Modifiers, Qt::MouseButtons Buttons)
{
    TShiftState Shift = 0;
    Shift |= Modifiers & Qt::ShiftModifier ? ssShift : 0;
    Shift |= Modifiers & Qt::AltModifier ? ssAlt : 0;
    Shift |= Modifiers & Qt::ControlModifier ? ssCtrl : 0;
    Shift |= Buttons & Qt::LeftButton ? ssLeft : 0;
    Shift |= Buttons & Qt::RightButton ? ssRight : 0;
    Shift |= Buttons & Qt::MiddleButton ? ssMiddle : 0;
    return Shift;
}

Qt::KeyboardModifiers ToQt(TShiftState Shift)
{
    Qt::KeyboardModifiers Modifiers;
    Modifiers |= Shift & ssShift ? Qt::ShiftModifier : Qt::NoModifier;
    Modifiers |= Shift & ssAlt ? Qt::AltModifier : Qt::NoModifier;
    Modifiers |= Shift & ssCtrl ? Qt::ControlModifier : Qt::NoModifier;
    return Modifiers;
}

TShiftState ShiftOf(const QMouseEvent* Event)
{
    return FromQt(Event->modifiers(), Event->buttons());
}

TPoint PointOf(const QMouseEvent* Event)
{
    const QPoint Pos = Event->position().toPoint();
    return { Pos.x(), Pos.y() };
}

} // namespace

TGradBtn::TGradBtn(QWidget* parent)
    : TQtWidgetHost(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    FCore.SetFont(FromQFont(font()));
}

void TGradBtn::setCaption(const QString& Value)
{
    if (Value == Caption())
        return;
    FCore.SetCaption(Value.toStdString());
    GrabAccelerator();
}

void TGradBtn::GrabAccelerator()
{
    if (FAcceleratorId != 0)
        releaseShortcut(FAcceleratorId);
    FAcceleratorId = 0;
    const QString Accelerator = QString::fromStdString(FCore.AcceleratorChar());
    if (!Accelerator.isEmpty())
        FAcceleratorId = grabShortcut(QKeySequence(QStringLiteral("Alt+") + Accelerator.toUpper()));
}

void TGradBtn::MouseDown(TMouseButton Button, TShiftState Shift, TPoint At)
{
    emit OnMouseDown(ToQt(Button), ToQt(Shift), At.X, At.Y);
}

void TGradBtn::MouseMoved(TShiftState Shift, TPoint At)
{
    emit OnMouseMove(ToQt(Shift), At.X, At.Y);
}

void TGradBtn::MouseUp(TMouseButton Button, TShiftState Shift, TPoint At)
{
    emit OnMouseUp(ToQt(Button), ToQt(Shift), At.X, At.Y);
}

void TGradBtn::mousePressEvent(QMouseEvent* Event)
{
    FCore.MouseDown(FromQt(Event->button()), ShiftOf(Event), PointOf(Event));
}

void TGradBtn::mouseMoveEvent(QMouseEvent* Event)
{
    FCore.MouseMove(ShiftOf(Event), PointOf(Event));
}

void TGradBtn::mouseReleaseEvent(QMouseEvent* Event)
{
    FCore.MouseUp(FromQt(Event->button()), ShiftOf(Event), PointOf(Event));
}

void TGradBtn::keyPressEvent(QKeyEvent* Event)
{
    char Key = 0;
    if (Event->key() == Qt::Key_Return || Event->key() == Qt::Key_Enter)
        Key = TGradBtnCore::EnterKey;
    else if (Event->key() == Qt::Key_Space)
        Key = TGradBtnCore::SpaceKey;
    if (Key == 0 || !FCore.KeyPress(Key))
        QWidget::keyPressEvent(Event);
}

void TGradBtn::focusInEvent(QFocusEvent* Event)
{
    FCore.FocusChanged();
    QWidget::focusInEvent(Event);
}

void TGradBtn::focusOutEvent(QFocusEvent* Event)
{
    FCore.FocusChanged();
    QWidget::focusOutEvent(Event);
}

bool TGradBtn::event(QEvent* Event)
{
    if (Event->type() == QEvent::Shortcut) {
        if (static_cast<QShortcutEvent*>(Event)->shortcutId() == FAcceleratorId)
            FCore.DialogChar(FCore.AcceleratorChar());
        return true;
    }
    return QWidget::event(Event);
}

void TGradBtn::changeEvent(QEvent* Event)
{
    if (Event->type() == QEvent::EnabledChange)
        FCore.EnabledChanged();
    else if (Event->type() == QEvent::FontChange)
        FCore.SetFont(FromQFont(font()));
    QWidget::changeEvent(Event);
}

void TGradBtn::paintEvent(QPaintEvent*)
{
    ++FPaintCount;
    if (FBitmap.size() != size())
        FBitmap = QImage(size(), QImage::Format_RGB32);
    {
        TQtCanvas Canvas(FBitmap);
        FCore.Paint(Canvas);
    }
    QPainter Screen(this);
    Screen.drawImage(0, 0, FBitmap);
}
