#include "SpinEditCore.h"

#include <algorithm>
#include <charconv>

namespace {

bool IsBlank(char Character)
{
    return Character == ' ' || (Character >= '\t' && Character <= '\r');
}

} // namespace

namespace SpinEdit {

int Value(std::string_view Text, int Min)
{
    const char* First = Text.data();
    const char* Last = First + Text.size();
    while (First != Last && IsBlank(*First))
        ++First;
    while (Last != First && IsBlank(Last[-1]))
        --Last;
    // from_chars takes a minus sign but no plus sign.
    if (Last - First > 1 && *First == '+' && First[1] != '-')
        ++First;
    int Value = 0;
    const auto [End, Error] = std::from_chars(First, Last, Value);
    if (First == Last || Error != std::errc() || End != Last)
        return Min;
    return Value;
}

int Clamped(long long Value, const TSpinRange& Range)
{
    return static_cast<int>(
        std::clamp<long long>(Value, Range.Min, std::max(Range.Min, Range.Max)));
}

int Stepped(std::string_view Text, int Steps, const TSpinRange& Range)
{
    // In 64 bits: an int times an int and an int more always fit.
    const long long Step = static_cast<long long>(Steps) * Range.Step;
    return Clamped(Value(Text, Range.Min) + Step, Range);
}

} // namespace SpinEdit
