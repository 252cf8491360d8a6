#include "PopupMenu.h"

#include "Replaceable.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QWidget>

namespace {

std::optional<int> RunOwnLoop(QMenu& Menu, QPoint At)
{
    const QAction* Chosen = Menu.exec(At);
    if (!Chosen)
        return std::nullopt;
    return Menu.actions().indexOf(Chosen);
}

TReplaceable<TPopupMenuRunner> Runner{ &RunOwnLoop };

} // namespace

TPopupMenuRunner SetPopupMenuRunner(TPopupMenuRunner Replacement)
{
    return Runner.Replace(std::move(Replacement));
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
    return Runner(Menu, At);
}
