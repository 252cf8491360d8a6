#include "PopupMenu.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QWidget>

namespace {

TPopupMenuRunner& CurrentRunner()
{
    static TPopupMenuRunner Runner;
    return Runner;
}

std::optional<int> RunOwnLoop(QMenu& Menu, QPoint At)
{
    const QAction* Chosen = Menu.exec(At);
    if (!Chosen)
        return std::nullopt;
    return Menu.actions().indexOf(Chosen);
}

} // namespace

TPopupMenuRunner SetPopupMenuRunner(TPopupMenuRunner Runner)
{
    TPopupMenuRunner Previous = std::move(CurrentRunner());
    CurrentRunner() = std::move(Runner);
    return Previous;
}

std::optional<int> RunPopupMenu(QWidget& Parent, QWidget& Below, const TMenuSpec& Spec)
{
    QMenu Menu(&Parent);
    Menu.setObjectName("PopupMenu");
    // One group: the check marks show as the one choice among the entries.
    auto* Group = new QActionGroup(&Menu);
    for (size_t Index = 0; Index < Spec.Entries.size(); ++Index) {
        QAction* Action = Menu.addAction(QString::fromStdString(Spec.Entries[Index]));
        Action->setCheckable(true);
        Action->setChecked(static_cast<int>(Index) == Spec.Checked);
        Group->addAction(Action);
    }
    if (Spec.Checked >= 0 && Spec.Checked < static_cast<int>(Spec.Entries.size()))
        Menu.setActiveAction(Menu.actions().at(Spec.Checked));
    const QPoint At = Below.mapToGlobal(QPoint(0, Below.height()));
    return CurrentRunner() ? CurrentRunner()(Menu, At) : RunOwnLoop(Menu, At);
}
