#include "KeyInput.h"

#include <QKeyEvent>
#include <QShortcut>
#include <QWidget>

namespace {

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

TKeyInput::TKeyInput(QWidget& Window, TControlEvents& Events)
    : QObject(&Window)
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

void TKeyInput::Watch(QWidget* Widget, TControl Control)
{
    FWidgets.emplace_back(Widget, Control);
    Widget->installEventFilter(this);
}

bool TKeyInput::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Event->type() != QEvent::KeyPress)
        return false;
    const auto* Key = static_cast<const QKeyEvent*>(Event);
    for (const auto& [Widget, Control] : FWidgets)
        if (Widget == Watched)
            return FKeys.KeyDown(Control, ToKey(Key->key(), Key->modifiers()), Key->isAutoRepeat());
    return false;
}
