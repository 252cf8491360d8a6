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

TQuestionAsker& CurrentAsker()
{
    static TQuestionAsker Asker;
    return Asker;
}

bool AskInBox(QWidget* Parent, const TQuestion& Question)
{
    QMessageBox Box(QMessageBox::Question, QString::fromStdString(Question.Title),
        QString::fromStdString(Question.Text), QMessageBox::Yes | QMessageBox::No, Parent);
    Box.setDefaultButton(QMessageBox::Yes);
    return Box.exec() == QMessageBox::Yes;
}

} // namespace

TQuestionAsker SetQuestionAsker(TQuestionAsker Asker)
{
    TQuestionAsker Previous = std::move(CurrentAsker());
    CurrentAsker() = std::move(Asker);
    return Previous;
}

bool AskQuestion(QWidget* Parent, const TQuestion& Question)
{
    return CurrentAsker() ? CurrentAsker()(Parent, Question) : AskInBox(Parent, Question);
}

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
