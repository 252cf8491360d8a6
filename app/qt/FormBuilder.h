// Builds the Qt window's widgets from the form's description (FormDescription.h): one widget per
// control, named after it, in the form's order (later ones lie above earlier ones), with its
// geometry, text, font, colours, tooltip, pointer, starting state and list entries, then the tab
// order and the first focus. It also gives the window its size, caption, font and colours.
//
// Fonts: fontconfig's metric-compatible free fonts stand in for the form's Windows fonts.
// Colours: a control with both a text and a face colour shows its text dimmed, half way to its
// face, while disabled; the system's grey would vanish on the form's grey boxes.
//
// GUI thread only; needs the application object (system colours come from its palette).
#pragma once

#include "MainWindow.h"

#include <array>

class QWidget;

using TFormWidgets = std::array<QWidget*, ControlCount>;

// Creates the controls as children of Window; the widgets, by TControl.
TFormWidgets BuildForm(QWidget& Window);
