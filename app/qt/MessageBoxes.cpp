#include "MessageBoxes.h"

#include <QMessageBox>

namespace {

TMessageShower& CurrentShower()
{
    static TMessageShower Shower;
    return Shower;
}

void ShowMessageBox(QWidget* Parent, const TMessage& Message)
{
    const QMessageBox::Icon Icon
        = Message.Kind == TMessageKind::mkError ? QMessageBox::Critical : QMessageBox::Warning;
    QMessageBox Box(Icon, QString::fromStdString(Message.Title),
        QString::fromStdString(Message.Text), QMessageBox::Ok, Parent);
    Box.exec();
}

} // namespace

TMessageShower SetMessageShower(TMessageShower Shower)
{
    TMessageShower Previous = std::move(CurrentShower());
    CurrentShower() = std::move(Shower);
    return Previous;
}

void ShowMessage(QWidget* Parent, const TMessage& Message)
{
    if (CurrentShower())
        CurrentShower()(Parent, Message);
    else
        ShowMessageBox(Parent, Message);
}
