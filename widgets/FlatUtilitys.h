// Types and the colour darkening shared by the flat controls.
//
// Pure functions: any thread, as long as the resolver handed to DarkenColor may be called there
// (the widgets hand over ColorToRGB, which belongs to the GUI thread).
#pragma once

#include "Colors.h"

#include <cstdint>

enum TProgressBarOrientation { pbHorizontal, pbVertical };

// A percentage 0..100 by which a border is darkened.
using TAdvColors = uint8_t;
constexpr TAdvColors MaxAdvColors = 100;

// Turns a colour that may name a system colour into plain RGB.
using TColorToRGB = TColor (*)(TColor);

// AColor with its lightness raised by 10 and lowered by Percent steps of HSLRange, not below 0;
// Fallback unchanged when Percent is 0. ToRGB resolves system colours first.
TColor DarkenColor(TColor AColor, TColor Fallback, TAdvColors Percent, TColorToRGB ToRGB);
