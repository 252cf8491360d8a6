#include "Dialogs.h"

#include "ErrorBox.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QWindow>

bool CompositorPlacesWindows(const QString& PlatformName)
{
    // Qt's Wayland plugins: "wayland", "wayland-egl", "wayland-xcomposite-glx", ...
    return PlatformName.startsWith(QLatin1String("wayland"));
}

TReplaceable<TErrorReporter> ErrorReporter{ [](QWidget* Parent, const QString& Message) {
    QMessageBox::critical(Parent, QString::fromUtf8(ErrorBoxTitle), Message);
} };

TReplaceable<TMessageShower> MessageShower{ [](QWidget* Parent, const TMessage& Message) {
    const QMessageBox::Icon Icon
        = Message.Kind == TMessageKind::mkError ? QMessageBox::Critical : QMessageBox::Warning;
    QMessageBox Box(Icon, QString::fromStdString(Message.Title),
        QString::fromStdString(Message.Text), QMessageBox::Ok, Parent);
    Box.exec();
} };

TReplaceable<TQuestionAsker> QuestionAsker{ [](QWidget* Parent, const TQuestion& Question) {
    QMessageBox Box(QMessageBox::Question, QString::fromStdString(Question.Title),
        QString::fromStdString(Question.Text), QMessageBox::Yes | QMessageBox::No, Parent);
    Box.setDefaultButton(QMessageBox::Yes);
    return Box.exec() == QMessageBox::Yes;
} };

TReplaceable<TSaveDialogRunner> SaveDialogRunner{
    [](QFileDialog& Dialog) -> std::optional<QString> {
        if (Dialog.exec() != QDialog::Accepted || Dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return QFileInfo(Dialog.selectedFiles().constFirst()).absoluteFilePath();
    }
};

TReplaceable<TPopupMenuRunner> PopupMenuRunner{ [](QMenu& Menu, QPoint At) -> std::optional<int> {
    const QAction* Chosen = Menu.exec(At);
    if (!Chosen)
        return std::nullopt;
    return Menu.actions().indexOf(Chosen);
} };

TReplaceable<TSystemMoveRequest> SystemMoveRequest{ [](QWindow& Window) {
    return CompositorPlacesWindows(QGuiApplication::platformName()) && Window.startSystemMove();
} };
