// Types and the colour darkening shared by the flat controls.
//
// Pure functions: any thread, as long as the resolver handed to DarkenColor may be called there.
#pragma once

#include "Colors.h"

#include <cstdint>
#include <functional>

enum TProgressBarOrientation { pbHorizontal, pbVertical };

// A percentage 0..100 by which a border is darkened.
using TAdvColors = uint8_t;
constexpr TAdvColors MaxAdvColors = 100;

// Turns a colour that may name a system colour into plain RGB.
using TColorToRGB = std::function<TColor(TColor)>;

// AColor with its lightness raised by 10 and lowered by Percent steps of HSLRange, not below 0;
// Fallback unchanged when Percent is 0. ToRGB resolves system colours first.
TColor DarkenColor(TColor AColor, TColor Fallback, TAdvColors Percent, const TColorToRGB& ToRGB);
