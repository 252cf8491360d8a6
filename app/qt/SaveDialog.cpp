#include "SaveDialog.h"

#include "Replaceable.h"

#include <QFileDialog>
#include <QFileInfo>

namespace {

std::optional<QString> RunModal(QFileDialog& Dialog)
{
    if (Dialog.exec() != QDialog::Accepted || Dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QFileInfo(Dialog.selectedFiles().constFirst()).absoluteFilePath();
}

TReplaceable<TSaveDialogRunner> Runner{ &RunModal };

} // namespace

void SetUpSaveDialog(QFileDialog& Dialog, const TSaveDialogSpec& Spec)
{
    Dialog.setWindowTitle(QString::fromStdString(Spec.Title));
    Dialog.setAcceptMode(QFileDialog::AcceptSave);
    Dialog.setFileMode(QFileDialog::AnyFile);
    Dialog.setNameFilter(QString::fromStdString(Spec.FilterName + " (" + Spec.FilterPattern + ")"));
    Dialog.setDefaultSuffix(QString::fromStdString(Spec.DefaultExtension));
    Dialog.setOption(QFileDialog::DontConfirmOverwrite, !Spec.ConfirmOverwrite);
    Dialog.setSizeGripEnabled(Spec.Resizable);
    if (!Spec.Folder.empty())
        Dialog.setDirectory(QString::fromStdString(Spec.Folder));
}

TSaveDialogRunner SetSaveDialogRunner(TSaveDialogRunner Replacement)
{
    return Runner.Replace(std::move(Replacement));
}

std::optional<QString> RunSaveDialog(QFileDialog& Dialog)
{
    return Runner(Dialog);
}
