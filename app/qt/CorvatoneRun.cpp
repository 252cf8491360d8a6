#include "CorvatoneRun.h"

#include "DesktopIdentity.h"
#include "Dialogs.h"
#include "HandlerGuard.h"
#include "MainForm.h"

#include <QApplication>
#include <exception>
#include <memory>
#include <optional>

namespace {

constexpr int StartFailed = 1;

} // namespace

int RunCorvatone(int& Argc, char** Argv, const TStartOptions& Options)
{
    std::optional<QApplication> OwnApplication;
    if (!QApplication::instance())
        OwnApplication.emplace(Argc, Argv);
    ApplyDesktopIdentity();

    std::unique_ptr<TMainForm> Main;
    try {
        Main = std::make_unique<TMainForm>(Options.AppPathForTests);
    } catch (const std::exception& E) {
        ErrorReporter(nullptr, QString::fromStdString(E.what()));
        return StartFailed;
    }
    Main->show();
    if (Options.OnShown)
        RunGuarded(*Main, [&] { Options.OnShown(*Main); });
    return QApplication::exec();
}
