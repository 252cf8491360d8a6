// What a screen reader is told of each control as the window shows it: the states and actions
// written out here, control by control, rather than taken from the table, and how they follow what
// the window shows (disabled, focused, checked, its text and position).
#include "AccessibleState.h"

#include <gtest/gtest.h>

namespace {

using enum TControl;
using enum TAccessibleAction;

TAccessibleState States(std::initializer_list<bool TAccessibleState::*> Set)
{
    TAccessibleState State;
    for (bool TAccessibleState::*Flag : Set)
        State.*Flag = true;
    return State;
}

constexpr auto Focusable = &TAccessibleState::Focusable;
constexpr auto ReadOnly = &TAccessibleState::ReadOnly;
constexpr auto HasPopup = &TAccessibleState::HasPopup;

// What the window shows: one fact changed from a control at rest.
TControlNow Now(bool TControlNow::*Flag, bool Value)
{
    TControlNow Shown;
    Shown.*Flag = Value;
    return Shown;
}

TControlNow AtPosition(int Position)
{
    TControlNow Shown;
    Shown.Position = Position;
    return Shown;
}

std::string Describe(const TAccessibleState& State)
{
    std::string Text;
    const std::pair<bool, const char*> Flags[]
        = { { State.Unavailable, "unavailable " }, { State.Focusable, "focusable " },
              { State.Focused, "focused " }, { State.Checked, "checked " },
              { State.HasPopup, "has-popup " }, { State.ReadOnly, "read-only " } };
    for (const auto& [On, Name] : Flags)
        if (On)
            Text += Name;
    return Text.empty() ? "none" : Text;
}

TEST(AccessibleState, EachEnabledControlAtRestHasItsStatesAndActions)
{
    struct TExpected {
        TControl Id;
        TAccessibleState State;
        std::vector<TAccessibleAction> Actions;
    };
    const TExpected Expected[] = {
        { RecB, States({ Focusable }), { Press } },
        { PauseB, States({ Focusable }), { Press } },
        { StopB, States({ Focusable }), { Press } },
        { MinB, States({ Focusable }), { Press } },
        { CloseB, States({ Focusable }), { Press } },
        { SaveAs, States({ Focusable }), { Press } },
        // The chooser is a painted label, yet pressed: it opens the menu of inputs.
        { LabDev, States({ Focusable, HasPopup }), { Open, Press } },
        { Progres, States({ ReadOnly }), {} },
        { Indicator, States({ ReadOnly }), {} },
        // The output file is read and focused, never typed into.
        { DirOut, States({ Focusable, ReadOnly }), {} },
        { SecNoLimit, States({ Focusable }), { Check } },
        { SecCustom, States({ Focusable }), { Check } },
        { Secs, States({ Focusable }), {} },
        { KBS, States({ Focusable }), {} },
        { SRate, States({ Focusable }), {} },
        { State, States({ ReadOnly }), {} },
    };
    ASSERT_EQ(std::size(Expected), Form::AccessibleControls().size());
    for (const TExpected& Control : Expected) {
        SCOPED_TRACE(ControlName(Control.Id));
        const TAccessibleView View = Form::AccessibleView(Control.Id, TControlNow{});
        EXPECT_EQ(View.State, Control.State) << Describe(View.State);
        EXPECT_EQ(View.Actions, Control.Actions);
    }
}

TEST(AccessibleState, ADisabledControlIsUnavailableAndOffersNoAction)
{
    for (const TControl Control : { RecB, SaveAs, LabDev, SecNoLimit, Secs }) {
        SCOPED_TRACE(ControlName(Control));
        const TAccessibleView View
            = Form::AccessibleView(Control, Now(&TControlNow::Enabled, false));
        EXPECT_TRUE(View.State.Unavailable);
        EXPECT_TRUE(View.Actions.empty());
        // Still reached by Tab's order once enabled again, and told so.
        EXPECT_TRUE(View.State.Focusable);
    }
    const TAccessibleView Chooser = Form::AccessibleView(LabDev, Now(&TControlNow::Enabled, false));
    EXPECT_TRUE(Chooser.State.HasPopup) << "what it is does not change while it is disabled";
    EXPECT_EQ(Chooser.State, States({ &TAccessibleState::Unavailable, Focusable, HasPopup }));
}

TEST(AccessibleState, FocusAndCheckFollowTheWindowOnlyWhereTheyMeanSomething)
{
    const TAccessibleView Focused = Form::AccessibleView(RecB, Now(&TControlNow::Focused, true));
    EXPECT_EQ(Focused.State, States({ Focusable, &TAccessibleState::Focused }));

    const TAccessibleView Checked
        = Form::AccessibleView(SecCustom, Now(&TControlNow::Checked, true));
    EXPECT_TRUE(Checked.State.Checked);
    EXPECT_EQ(Checked.Actions, std::vector{ Check }) << "checking it again is harmless";
    EXPECT_FALSE(Form::AccessibleView(SecNoLimit, Now(&TControlNow::Checked, false)).State.Checked);
    // A button that the front end reads as checked is no radio button.
    EXPECT_FALSE(Form::AccessibleView(RecB, Now(&TControlNow::Checked, true)).State.Checked);
}

TEST(AccessibleState, NamesValuesAndShortcutsComeFromWhatTheControlShows)
{
    const TControlNow Shows{ .Text = "USB Mic", .Position = 37 };
    const TAccessibleView Chooser = Form::AccessibleView(LabDev, Shows);
    EXPECT_EQ(Chooser.Name, "Input: USB Mic");
    EXPECT_EQ(Chooser.Value, "") << "its name already says the input";

    const TAccessibleView Bar = Form::AccessibleView(Progres, Shows);
    EXPECT_EQ(Bar.Name, "Recording progress");
    EXPECT_EQ(Bar.Value, "37");
    EXPECT_TRUE(Bar.RangeValue);
    EXPECT_EQ(Form::AccessibleView(Indicator, AtPosition(0)).Value, "0") << "zero is a value";

    EXPECT_EQ(Form::AccessibleView(Secs, { .Text = "120" }).Value, "120");
    EXPECT_EQ(Form::AccessibleView(KBS, { .Text = "128" }).Value, "128");
    EXPECT_EQ(Form::AccessibleView(DirOut, { .Text = "C:\\a.mp3" }).Value, "C:\\a.mp3");
    EXPECT_FALSE(Form::AccessibleView(Secs, {}).RangeValue) << "a spin box tells its text";
    // The status panel is read by its name; buttons and radio buttons have no value.
    const TAccessibleView Status = Form::AccessibleView(State, { .Text = "Record" });
    EXPECT_EQ(Status.Name, "Record");
    EXPECT_EQ(Status.Value, "");
    EXPECT_EQ(Form::AccessibleView(RecB, Shows).Value, "");
    EXPECT_EQ(Form::AccessibleView(SecCustom, Shows).Value, "");

    EXPECT_EQ(Form::AccessibleView(RecB, {}).Shortcut, "Ctrl+R");
    EXPECT_EQ(Form::AccessibleView(PauseB, {}).Shortcut, "Ctrl+P");
    EXPECT_EQ(Form::AccessibleView(StopB, {}).Shortcut, "Ctrl+S");
    EXPECT_EQ(Form::AccessibleView(CloseB, {}).Shortcut, "");
}

TEST(AccessibleState, ActionsAreNamedAsScreenReadersSayThem)
{
    EXPECT_STREQ(Form::ActionName(Press), "Press");
    EXPECT_STREQ(Form::ActionName(Open), "Open");
    EXPECT_STREQ(Form::ActionName(Check), "Check");
}

} // namespace
