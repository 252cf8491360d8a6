#include "WindowPlacement.h"

#include "Replaceable.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace {

bool CompositorPlaces()
{
    return CompositorPlacesWindows(QGuiApplication::platformName());
}

bool AskPlatform(QWindow& Window)
{
    return CompositorPlaces() && Window.startSystemMove();
}

TReplaceable<TSystemMoveRequest> Request{ &AskPlatform };

} // namespace

bool CompositorPlacesWindows(const QString& PlatformName)
{
    // Qt's Wayland plugins: "wayland", "wayland-egl", "wayland-xcomposite-glx", ...
    return PlatformName.startsWith(QLatin1String("wayland"));
}

void PlaceFirst(QWidget& Window)
{
    const QScreen* Screen = QGuiApplication::primaryScreen();
    if (CompositorPlaces() || !Screen)
        return;
    QRect Frame = Window.geometry();
    Frame.moveCenter(Screen->availableGeometry().center());
    Window.move(Frame.topLeft());
}

bool StartSystemMove(QWidget& Window)
{
    QWindow* Handle = Window.windowHandle();
    return Handle && Request(*Handle);
}

TSystemMoveRequest SetSystemMoveRequest(TSystemMoveRequest Replacement)
{
    return Request.Replace(std::move(Replacement));
}
