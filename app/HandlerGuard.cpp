#include "HandlerGuard.h"

#include "MainWindow.h"

#include <exception>

bool RunGuarded(TMainWindow& Window, const std::function<void()>& Handler)
{
    try {
        Handler();
        return true;
    } catch (const std::exception& E) {
        Window.ReportError(E.what());
    } catch (...) {
        Window.ReportError("An unknown error occurred.");
    }
    return false;
}
