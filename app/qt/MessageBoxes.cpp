#include "MessageBoxes.h"

#include "Replaceable.h"

#include <QMessageBox>

namespace {

void ShowMessageBox(QWidget* Parent, const TMessage& Message)
{
    const QMessageBox::Icon Icon
        = Message.Kind == TMessageKind::mkError ? QMessageBox::Critical : QMessageBox::Warning;
    QMessageBox Box(Icon, QString::fromStdString(Message.Title),
        QString::fromStdString(Message.Text), QMessageBox::Ok, Parent);
    Box.exec();
}

bool AskInBox(QWidget* Parent, const TQuestion& Question)
{
    QMessageBox Box(QMessageBox::Question, QString::fromStdString(Question.Title),
        QString::fromStdString(Question.Text), QMessageBox::Yes | QMessageBox::No, Parent);
    Box.setDefaultButton(QMessageBox::Yes);
    return Box.exec() == QMessageBox::Yes;
}

TReplaceable<TMessageShower> Shower{ &ShowMessageBox };
TReplaceable<TQuestionAsker> Asker{ &AskInBox };

} // namespace

TQuestionAsker SetQuestionAsker(TQuestionAsker Replacement)
{
    return Asker.Replace(std::move(Replacement));
}

bool AskQuestion(QWidget* Parent, const TQuestion& Question)
{
    return Asker(Parent, Question);
}

TMessageShower SetMessageShower(TMessageShower Replacement)
{
    return Shower.Replace(std::move(Replacement));
}

void ShowMessage(QWidget* Parent, const TMessage& Message)
{
    Shower(Parent, Message);
}
