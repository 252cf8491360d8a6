// System colours from the application palette: the Qt front end's values for TColor's system
// colours, and the conversions between TColor and QColor. The desktop colour has no palette
// role; it follows the palette's Highlight, the accent colour the user's theme chooses.
//
// GUI thread only (reads the application palette); needs the application object.
#pragma once

#include "Colors.h"
#include "SystemPalette.h"

#include <QColor>

// Every system colour's present value in the application palette.
TSystemPalette QtSystemPalette();
// Plain RGB for any colour, system colours read from the application palette.
TColor ColorToRGB(TColor Color);
QColor ToQColor(TColor Color);
TColor FromQColor(const QColor& Color);
