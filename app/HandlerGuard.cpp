#include "HandlerGuard.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <exception>

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
    QMessageBox::critical(Parent, QCoreApplication::applicationName(), Message);
}

void ReportError(QWidget* Parent, const QString& Message)
{
    if (CurrentReporter())
        CurrentReporter()(Parent, Message);
    else
        ShowErrorBox(Parent, Message);
}

bool RunGuarded(QWidget* Parent, const std::function<void()>& Handler)
{
    try {
        Handler();
        return true;
    } catch (const std::exception& E) {
        ReportError(Parent, QString::fromStdString(E.what()));
    } catch (...) {
        ReportError(Parent, QStringLiteral("An unknown error occurred."));
    }
    return false;
}
