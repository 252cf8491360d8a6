// Conversions between RGB colours and integer hue, saturation and lightness: hue 0..239,
// saturation and lightness 0..HSLRange. Every result is rounded to the nearest integer, halves to
// even.
//
// Pure functions: any thread.
#pragma once

#include "Colors.h"

constexpr int HSLRange = 240;

// Color must already be RGB (no system colour); the high byte is ignored.
void ColorToHSL(TColor Color, int& H, int& S, int& L);
// A lightness above HSLRange (DarkenColor's lift can give up to 249) saturates each channel at
// 255 instead of wrapping into the next colour byte.
TColor HSLToColor(int H, int S, int L);
