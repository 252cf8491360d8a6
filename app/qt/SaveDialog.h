// The window's file-save dialog SaveMp3 as a Qt dialog, set up from its description
// (TSaveDialogSpec, MainWindow.h): title, one filter, the suffix added to a name typed without
// one, a question before an existing file is chosen, resizable.
//
// The dialog runs through a replaceable runner, so that tests answer it instead of the user.
//
// GUI thread only; the default runner blocks in the modal dialog until the user closes it.
#pragma once

#include "MainWindow.h"

#include <QString>
#include <functional>
#include <optional>

class QFileDialog;

// Gives Dialog the settings of Spec.
void SetUpSaveDialog(QFileDialog& Dialog, const TSaveDialogSpec& Spec);

// Shows Dialog and returns the full path of the confirmed file, or nothing when cancelled.
using TSaveDialogRunner = std::function<std::optional<QString>(QFileDialog& Dialog)>;

// Makes Runner the one that RunSaveDialog uses (an empty one restores the modal dialog) and
// returns the previous one.
TSaveDialogRunner SetSaveDialogRunner(TSaveDialogRunner Runner);

// Runs Dialog through the current runner.
std::optional<QString> RunSaveDialog(QFileDialog& Dialog);
