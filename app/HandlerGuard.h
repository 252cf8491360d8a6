// The edge of every event handler of the window: an exception that leaves a handler is caught
// here and shown to the user, as the toolkit's error report, instead of crossing the event loop
// (which would end the program).
//
// The report goes through a replaceable reporter, so that tests observe it instead of a modal box.
//
// GUI thread only; the default reporter blocks in a modal message box until the user closes it.
#pragma once

#include <QString>
#include <functional>

class QWidget;

// Shows Message to the user; Parent may be null.
using TErrorReporter = std::function<void(QWidget* Parent, const QString& Message)>;

// Makes Reporter the one that ReportError uses (an empty one restores the message box) and
// returns the previous one.
TErrorReporter SetErrorReporter(TErrorReporter Reporter);

// A critical message box titled with the application's name.
void ShowErrorBox(QWidget* Parent, const QString& Message);

// Reports Message through the current reporter.
void ReportError(QWidget* Parent, const QString& Message);

// Runs Handler; an exception that leaves it is reported and goes no further. Returns false when
// Handler raised.
bool RunGuarded(QWidget* Parent, const std::function<void()>& Handler);
