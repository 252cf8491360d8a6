// The form's description as both front ends read it: each control once, the controls with a
// window stacked above the drawn ones, the tab order, the lists and the duration's box.
#include "FormDescription.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <set>
#include <string>

namespace {

TEST(FormDescription, EveryControlIsDescribedOnceAndLiesInsideTheWindow)
{
    std::set<TControl> Seen;
    for (const TControlSpec& Spec : Form::Controls()) {
        SCOPED_TRACE(ControlName(Spec.Id));
        EXPECT_TRUE(Seen.insert(Spec.Id).second);
        EXPECT_EQ(&Form::Spec(Spec.Id), &Spec);
        EXPECT_GE(Spec.Left, 0);
        EXPECT_GE(Spec.Top, 0);
        EXPECT_LE(Spec.Left + Spec.Width, Form::ClientWidth);
        EXPECT_LE(Spec.Top + Spec.Height, Form::ClientHeight);
    }
    EXPECT_EQ(Seen.size(), static_cast<size_t>(ControlCount));
}

// The Win32 window paints the drawn controls beneath its child windows, and the Qt window stacks
// its widgets in the form's order: the two agree only when every windowed control comes last.
TEST(FormDescription, ControlsWithAWindowComeAfterEveryDrawnControl)
{
    const auto Controls = Form::Controls();
    const auto FirstWindowed = std::find_if(Controls.begin(), Controls.end(),
        [](const TControlSpec& Spec) { return Form::HasWindow(Spec.Kind); });
    ASSERT_NE(FirstWindowed, Controls.end());
    for (auto Spec = FirstWindowed; Spec != Controls.end(); ++Spec)
        EXPECT_TRUE(Form::HasWindow(Spec->Kind)) << ControlName(Spec->Id);
    EXPECT_EQ(Controls.front().Id, TControl::BackG);
}

// A family without a stand-in would be drawn in whatever the Linux system picks, with other widths.
TEST(FormDescription, EveryFontFamilyOfTheFormHasOneStandIn)
{
    std::set<std::string> Families{ Form::DefaultFont().Family };
    for (const TControlSpec& Spec : Form::Controls())
        Families.insert(Spec.Font.Family);
    std::set<std::string> Substituted;
    for (const auto& [Family, Substitute] : Form::FontSubstitutes) {
        EXPECT_TRUE(Substituted.insert(Family).second) << Family << " has two stand-ins";
        EXPECT_EQ(Families.count(Substitute), 0u) << Substitute << " is named by the form itself";
    }
    EXPECT_EQ(Substituted, Families);
}

TEST(FormDescription, TabOrderRunsThroughTheSettingsThenTheImageButtonsAndSkipsThePanel)
{
    using enum TControl;
    const std::vector<TControl> Expected = { DirOut, SaveAs, SecNoLimit, SecCustom, Secs, KBS,
        SRate, RecB, PauseB, StopB, MinB, CloseB, LabDev };
    EXPECT_EQ(Form::TabOrder(), Expected);
    EXPECT_EQ(Form::ActiveControl, SaveAs);
}

TEST(FormDescription, WindowsAreCreatedInTabOrderWithThePanelLast)
{
    using enum TControl;
    // The image buttons and the input chooser are drawn: their tab stops make no window.
    const std::vector<TControl> Expected
        = { DirOut, SaveAs, SecNoLimit, SecCustom, Secs, KBS, SRate, State };
    EXPECT_EQ(Form::WindowCreationOrder(), Expected);
}

TEST(FormDescription, ListsAndTheDurationBoxStartAsTheRecorderOffersThem)
{
    const TControlSpec& KBS = Form::Spec(TControl::KBS);
    const std::vector<std::string> BitRates
        = { "40", "48", "56", "64", "80", "96", "128", "160", "192", "256", "320" };
    EXPECT_EQ(KBS.Items, BitRates);
    EXPECT_EQ(KBS.Text, "128");
    const TControlSpec& SRate = Form::Spec(TControl::SRate);
    EXPECT_EQ(SRate.Items, (std::vector<std::string>{ "22050", "44100" }));
    EXPECT_EQ(SRate.Text, "44100");
    const TControlSpec& Secs = Form::Spec(TControl::Secs);
    EXPECT_EQ(Secs.Text, "10800");
    EXPECT_EQ(Secs.Hint, "Max: 10800 sec equal to 3 hours");
    EXPECT_EQ(Secs.Spin.Min, 5);
    EXPECT_EQ(Secs.Spin.Max, 10800);
    EXPECT_EQ(Secs.Spin.Step, 5);
    EXPECT_TRUE(Form::Spec(TControl::SecCustom).Checked);
    EXPECT_FALSE(Form::Spec(TControl::SecNoLimit).Checked);
}

// What a screen reader says of each control, written out here rather than taken from the table:
// the image buttons by their tooltips, the settings by the labels painted beside them (without
// the colon), their groups by the painted headings.
TEST(FormDescription, EveryControlAUserOperatesOrReadsIsNamedWithItsRole)
{
    using enum TControl;
    using enum TAccessibleRole;
    struct TExpected {
        TControl Id;
        TAccessibleRole Role;
        const char* Name;
        const char* Description;
    };
    const TExpected Expected[] = {
        { RecB, PushButton, "Record", "" },
        { PauseB, PushButton, "Pause", "" },
        { StopB, PushButton, "Stop", "" },
        { MinB, PushButton, "Minimize", "" },
        { CloseB, PushButton, "Close Corvatone", "" },
        { LabDev, MenuButton, "", "Device" },
        { Progres, ProgressBar, "Recording progress", "Duration in seconds" },
        { Indicator, ProgressBar, "Input level", "Audio-In Settings" },
        { DirOut, Text, "Output file", "Mp3-Out Settings" },
        { SaveAs, PushButton, "Save as", "Mp3-Out Settings" },
        { SecNoLimit, RadioButton, "No Limit", "Duration in seconds" },
        { SecCustom, RadioButton, "Custom", "Duration in seconds" },
        { Secs, SpinBox, "Duration in seconds", "" },
        { KBS, ComboBox, "kbs", "Mp3-Out Settings" },
        { SRate, ComboBox, "Sample Rate", "Audio-In Settings" },
        { State, StatusBar, "", "" },
    };
    std::vector<TControl> Named;
    for (const TExpected& Control : Expected) {
        SCOPED_TRACE(ControlName(Control.Id));
        const TAccessibility& Accessible = Form::Spec(Control.Id).Accessible;
        EXPECT_EQ(Accessible.Role, Control.Role);
        EXPECT_EQ(Accessible.Name, Control.Name);
        EXPECT_EQ(Accessible.Description, Control.Description);
        EXPECT_EQ(Accessible.Announced, Control.Id == State);
        Named.push_back(Control.Id);
    }
    std::sort(Named.begin(), Named.end());
    std::vector<TControl> Accessible = Form::AccessibleControls();
    std::sort(Accessible.begin(), Accessible.end());
    EXPECT_EQ(Accessible, Named) << "the rest is decoration or names another";

    // The input chooser and the status panel are read as what they show, the chooser as the
    // input it records from.
    EXPECT_EQ(Form::AccessibleName(Form::Spec(State), "Pause"), "Pause");
    EXPECT_EQ(Form::AccessibleName(Form::Spec(LabDev), "USB Mic"), "Input: USB Mic");
    EXPECT_EQ(Form::AccessibleName(Form::Spec(RecB), "ignored"), "Record");
    EXPECT_EQ(Form::Spec(SecNoLimit).Accessible.LabelledBy, Label13);
    EXPECT_EQ(Form::Spec(LabDev).Accessible.LabelledBy, Label11);
}

} // namespace
