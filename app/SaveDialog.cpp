#include "SaveDialog.h"

#include <QFileDialog>
#include <QFileInfo>

namespace {

TSaveDialogRunner& CurrentRunner()
{
    static TSaveDialogRunner Runner;
    return Runner;
}

std::optional<QString> RunModal(QFileDialog& Dialog)
{
    if (Dialog.exec() != QDialog::Accepted || Dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QFileInfo(Dialog.selectedFiles().constFirst()).absoluteFilePath();
}

} // namespace

void SetUpSaveMp3(QFileDialog& Dialog)
{
    Dialog.setWindowTitle(QStringLiteral("Choose folder to save"));
    Dialog.setAcceptMode(QFileDialog::AcceptSave);
    Dialog.setFileMode(QFileDialog::AnyFile);
    Dialog.setNameFilter(QStringLiteral("Mp3 Files (*.mp3)"));
    Dialog.setDefaultSuffix(QStringLiteral("mp3"));
    Dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    Dialog.setSizeGripEnabled(true);
}

TSaveDialogRunner SetSaveDialogRunner(TSaveDialogRunner Runner)
{
    TSaveDialogRunner Previous = std::move(CurrentRunner());
    CurrentRunner() = std::move(Runner);
    return Previous;
}

std::optional<QString> RunSaveDialog(QFileDialog& Dialog)
{
    return CurrentRunner() ? CurrentRunner()(Dialog) : RunModal(Dialog);
}
