#include "ImageMouseInput.h"

#include <QMouseEvent>
#include <QWidget>
#include <optional>

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

} // namespace

TImageMouseInput::TImageMouseInput(QWidget& Window, TControlEvents& Events)
    : QObject(&Window)
    , TControlMouseHost(&Events)
    , FWindow(Window)
{
}

void TImageMouseInput::Watch(QWidget* Image, TControl Control)
{
    FImages.emplace_back(Image, Control);
    Image->setMouseTracking(true);
    Image->installEventFilter(this);
}

bool TImageMouseInput::eventFilter(QObject* Watched, QEvent* Event)
{
    const QEvent::Type Type = Event->type();
    if (Type != QEvent::MouseButtonPress && Type != QEvent::MouseButtonDblClick
        && Type != QEvent::MouseMove && Type != QEvent::MouseButtonRelease)
        return false;
    const auto* Mouse = static_cast<QMouseEvent*>(Event);
    const QPoint At = static_cast<QWidget*>(Watched)->mapTo(&FWindow, Mouse->position().toPoint());
    const TPoint Point{ At.x(), At.y() };
    const int Under = ImageAt(At);
    if (Type == QEvent::MouseMove) {
        FRules.Move(Under, Point);
        return true;
    }
    const std::optional<TMouseButton> Button = ToButton(Mouse->button());
    if (!Button)
        return false;
    // A double click arrives in place of the second press.
    if (Type == QEvent::MouseButtonRelease)
        FRules.Release(*Button, Under, Point);
    else
        FRules.Press(*Button, Under, Point);
    return true;
}

int TImageMouseInput::ImageAt(QPoint Point) const
{
    const QWidget* Topmost = FWindow.childAt(Point);
    for (const auto& [Image, Control] : FImages)
        if (Image == Topmost)
            return Number(Control);
    return TImageMouse::NoImage;
}

QWidget* TImageMouseInput::Image(int Control) const
{
    for (const auto& [Image, Known] : FImages)
        if (Known == ControlOf(Control))
            return Image;
    return nullptr;
}

TPoint TImageMouseInput::Origin(int Control) const
{
    const QPoint Origin = Image(Control)->mapTo(&FWindow, QPoint(0, 0));
    return TPoint{ Origin.x(), Origin.y() };
}
