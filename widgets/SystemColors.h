// The one place where system colours (TColor values with the high bit set) become RGB: each is
// read from the application's palette. The desktop colour has no palette role; it follows the
// palette's Highlight, the accent colour the user's theme chooses.
//
// GUI thread only (reads the application palette); needs the application object.
#pragma once

#include "Colors.h"

#include <QColor>

// Plain RGB for any colour; fixed colours lose their high byte only.
TColor ColorToRGB(TColor Color);
QColor ToQColor(TColor Color);
TColor FromQColor(const QColor& Color);
