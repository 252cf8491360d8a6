#include "ControlInput.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QShortcut>
#include <QWidget>
#include <optional>
#include <stdexcept>

namespace {

// The buttons the window knows; the others are not reported.
std::optional<TMouseButton> ToButton(Qt::MouseButton Button)
{
    switch (Button) {
    case Qt::LeftButton:
        return mbLeft;
    case Qt::RightButton:
        return mbRight;
    case Qt::MiddleButton:
        return mbMiddle;
    default:
        return std::nullopt;
    }
}

TKey ToKey(int Key, Qt::KeyboardModifiers Modifiers)
{
    switch (Key) {
    case Qt::Key_Down:
        return Modifiers & Qt::AltModifier ? TKey::AltDown : TKey::Other;
    case Qt::Key_Space:
        return TKey::Space;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return TKey::Enter;
    default:
        return TKey::Other;
    }
}

} // namespace

TControlInput::TControlInput(QWidget& Window, TControlEvents& Events)
    : QObject(&Window)
    , TControlMouseHost(&Events)
    , FWindow(Window)
    , FKeys(Events)
{
    for (const TShortcut& Entry : TControlKeys::Shortcuts()) {
        auto* Shortcut = new QShortcut(QKeySequence(QString::fromUtf8(Entry.Text)), &Window);
        Shortcut->setAutoRepeat(false);
        const char Letter = Entry.Letter;
        connect(Shortcut, &QShortcut::activated, this,
            [this, Letter] { FKeys.Shortcut(Letter, false); });
    }
}

void TControlInput::Watch(QWidget* Widget, TControl Control)
{
    FWatched.emplace_back(Widget, Control);
    Widget->setMouseTracking(true);
    Widget->installEventFilter(this);
}

bool TControlInput::eventFilter(QObject* Watched, QEvent* Event)
{
    const QEvent::Type Type = Event->type();
    if (Type == QEvent::KeyPress) {
        const auto* Key = static_cast<const QKeyEvent*>(Event);
        for (const auto& [Widget, Control] : FWatched)
            if (Widget == Watched)
                return FKeys.KeyDown(
                    Control, ToKey(Key->key(), Key->modifiers()), Key->isAutoRepeat());
        return false;
    }
    if (Type != QEvent::MouseButtonPress && Type != QEvent::MouseButtonDblClick
        && Type != QEvent::MouseMove && Type != QEvent::MouseButtonRelease)
        return false;
    const auto* Mouse = static_cast<QMouseEvent*>(Event);
    const QPoint At = static_cast<QWidget*>(Watched)->mapTo(&FWindow, Mouse->position().toPoint());
    const TPoint Point{ At.x(), At.y() };
    const int Under = ImageAt(At);
    if (Type == QEvent::MouseMove) {
        FMouse.Move(Under, Point);
        return true;
    }
    const std::optional<TMouseButton> Button = ToButton(Mouse->button());
    if (!Button)
        return false;
    // A double click arrives in place of the second press.
    if (Type == QEvent::MouseButtonRelease)
        FMouse.Release(*Button, Under, Point);
    else
        FMouse.Press(*Button, Under, Point);
    return true;
}

int TControlInput::ImageAt(QPoint Point) const
{
    const QWidget* Topmost = FWindow.childAt(Point);
    for (const auto& [Widget, Control] : FWatched)
        if (Widget == Topmost)
            return Number(Control);
    return TImageMouse::NoImage;
}

TPoint TControlInput::Origin(int Control) const
{
    for (const auto& [Widget, Known] : FWatched)
        if (Known == ControlOf(Control)) {
            const QPoint Origin = Widget->mapTo(&FWindow, QPoint(0, 0));
            return TPoint{ Origin.x(), Origin.y() };
        }
    throw std::logic_error("The mouse rules asked where an unwatched control lies");
}
