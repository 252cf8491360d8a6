// The whole-number spin box's rules at the edges of int: reading its text, stepping and clamping.
#include "SpinEditCore.h"

#include <climits>
#include <gtest/gtest.h>
#include <string>

namespace {

constexpr TSpinRange Seconds{ 5, 10800, 5 };
constexpr TSpinRange WholeInt{ INT_MIN, INT_MAX, 1 };

TEST(SpinEditValue, IsTheWholeNumberShownOrTheMinimum)
{
    EXPECT_EQ(SpinEdit::Value(" 60 ", 5), 60);
    EXPECT_EQ(SpinEdit::Value("+60", 5), 60);
    EXPECT_EQ(SpinEdit::Value("-3", 5), -3);
    EXPECT_EQ(SpinEdit::Value("2147483647", 5), INT_MAX);
    EXPECT_EQ(SpinEdit::Value("-2147483648", 5), INT_MIN);
    for (const char* NotANumber :
        { "", " ", "abc", "6 0", "60s", "+-3", "--3", "+", "2147483648", "-2147483649", "12.5" })
        EXPECT_EQ(SpinEdit::Value(NotANumber, 5), 5) << NotANumber;
}

TEST(SpinEditStep, StaysWithinTheRangeFromAnyShownValue)
{
    EXPECT_EQ(SpinEdit::Stepped("10795", 1, Seconds), 10800);
    EXPECT_EQ(SpinEdit::Stepped("10800", 1, Seconds), 10800);
    EXPECT_EQ(SpinEdit::Stepped("8", -1, Seconds), 5);
    // A text that is no number steps from the minimum.
    EXPECT_EQ(SpinEdit::Stepped("abc", 1, Seconds), 10);
    // Typed values far outside the range, at the ends of int: no overflow on the way.
    EXPECT_EQ(SpinEdit::Stepped("2147483647", 1, Seconds), 10800);
    EXPECT_EQ(SpinEdit::Stepped("2147483647", -1, Seconds), 10800);
    EXPECT_EQ(SpinEdit::Stepped("-2147483648", -1, Seconds), 5);
    EXPECT_EQ(SpinEdit::Stepped("-2147483648", 1, Seconds), 5);
    // Many steps at once (a held key, a wheel) with the largest step.
    EXPECT_EQ(SpinEdit::Stepped("0", INT_MAX, { 5, 10800, INT_MAX }), 10800);
    EXPECT_EQ(SpinEdit::Stepped("0", INT_MIN, { 5, 10800, INT_MAX }), 5);
}

TEST(SpinEditStep, ReachesTheEndsOfIntAndStopsThere)
{
    EXPECT_EQ(SpinEdit::Stepped("2147483646", 1, WholeInt), INT_MAX);
    EXPECT_EQ(SpinEdit::Stepped("2147483647", 1, WholeInt), INT_MAX);
    EXPECT_EQ(SpinEdit::Stepped("-2147483647", -1, WholeInt), INT_MIN);
    EXPECT_EQ(SpinEdit::Stepped("-2147483648", -1, WholeInt), INT_MIN);
    EXPECT_EQ(SpinEdit::Stepped("-2147483648", INT_MAX, { INT_MIN, INT_MAX, INT_MIN }), INT_MIN);
    EXPECT_EQ(SpinEdit::Stepped("2147483647", INT_MIN, { INT_MIN, INT_MAX, INT_MIN }), INT_MAX);
}

TEST(SpinEditClamp, KeepsValuesWithinARangeWhoseMaximumMayLieBelowItsMinimum)
{
    EXPECT_EQ(SpinEdit::Clamped(20000, Seconds), 10800);
    EXPECT_EQ(SpinEdit::Clamped(-3, Seconds), 5);
    EXPECT_EQ(SpinEdit::Clamped(60, Seconds), 60);
    EXPECT_EQ(SpinEdit::Clamped(7, { 10, 0, 1 }), 10);
    EXPECT_EQ(SpinEdit::Clamped(INT_MIN, WholeInt), INT_MIN);
    EXPECT_EQ(SpinEdit::Clamped(INT_MAX, WholeInt), INT_MAX);
}

} // namespace
