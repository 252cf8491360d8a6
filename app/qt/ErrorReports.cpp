#include "ErrorReports.h"

#include "ErrorBox.h"

#include <QMessageBox>

namespace {

TErrorReporter& CurrentReporter()
{
    static TErrorReporter Reporter;
    return Reporter;
}

} // namespace

TErrorReporter SetErrorReporter(TErrorReporter Reporter)
{
    TErrorReporter Previous = std::move(CurrentReporter());
    CurrentReporter() = std::move(Reporter);
    return Previous;
}

void ShowErrorBox(QWidget* Parent, const QString& Message)
{
    QMessageBox::critical(Parent, QString::fromUtf8(ErrorBoxTitle), Message);
}

void ReportError(QWidget* Parent, const QString& Message)
{
    if (CurrentReporter())
        CurrentReporter()(Parent, Message);
    else
        ShowErrorBox(Parent, Message);
}
