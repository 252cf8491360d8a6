#include "ErrorReports.h"

#include "ErrorBox.h"
#include "Replaceable.h"

#include <QMessageBox>

void ShowErrorBox(QWidget* Parent, const QString& Message)
{
    QMessageBox::critical(Parent, QString::fromUtf8(ErrorBoxTitle), Message);
}

namespace {

TReplaceable<TErrorReporter> Reporter{ &ShowErrorBox };

} // namespace

TErrorReporter SetErrorReporter(TErrorReporter Replacement)
{
    return Reporter.Replace(std::move(Replacement));
}

void ReportError(QWidget* Parent, const QString& Message)
{
    Reporter(Parent, Message);
}
