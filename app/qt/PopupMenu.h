// The window's popup menus (TMenuSpec, MainWindow.h) as QMenu: one checkable action per entry,
// the marked one checked, opened at the bottom-left corner of a control.
//
// The menu runs through a replaceable runner, so that tests answer it instead of the user.
//
// GUI thread only; the default runner blocks in the menu's own loop until the user closes it.
#pragma once

#include "MainWindow.h"

#include <QPoint>
#include <functional>
#include <optional>

class QMenu;
class QWidget;

// Shows Menu at At (global coordinates) and returns the index of the action chosen, or nothing
// when it was closed without a choice.
using TPopupMenuRunner = std::function<std::optional<int>(QMenu& Menu, QPoint At)>;

// Makes Runner the one that RunPopupMenu uses (an empty one restores the menu's own loop) and
// returns the previous one.
TPopupMenuRunner SetPopupMenuRunner(TPopupMenuRunner Runner);

// Builds the menu of Spec below Below (a child of Parent) and runs it through the current runner.
std::optional<int> RunPopupMenu(QWidget& Parent, QWidget& Below, const TMenuSpec& Spec);
