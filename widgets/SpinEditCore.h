// The whole-number spin box's rules without a toolkit: what its text means, how its arrows step
// it, and how a value set on it is kept within its range. Exact at every int value: nothing
// overflows on its way to the range.
//
// The text may be typed freely; its value is the whole number it shows, or the range's minimum
// when it shows none, and the text is then left as typed.
//
// Plain functions; any thread.
#pragma once

#include <string_view>

// The spin box's limits and the step of its arrows. A Max below Min reads as Min.
struct TSpinRange {
    int Min = 0;
    int Max = 0;
    int Step = 1;
};

namespace SpinEdit {

// The whole number Text shows (blanks around it allowed, a sign allowed), or Min when Text shows
// none that an int holds. Not limited to the range: the box's user decides what to do with it.
int Value(std::string_view Text, int Min);
// Value kept within the range.
int Clamped(long long Value, const TSpinRange& Range);
// The value after Steps steps of the arrows (negative: down) from what Text shows, within the
// range.
int Stepped(std::string_view Text, int Steps, const TSpinRange& Range);

} // namespace SpinEdit
