// The Qt front end's report of an error to the user: of an exception that left one of the
// window's handlers (through the handler guard, HandlerGuard.h), or of a start that failed.
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

// A critical message box titled as every error box of the program (ErrorBox.h).
void ShowErrorBox(QWidget* Parent, const QString& Message);

// Reports Message through the current reporter.
void ReportError(QWidget* Parent, const QString& Message);
