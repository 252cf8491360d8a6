// The window's keyboard rules on the fake window: the image buttons operated by Space and Enter
// and the shortcuts, seen from what the window shows.
#include "ControlKeys.h"

#include "FormDescription.h"
#include "WindowTestSupport.h"

#include <algorithm>
#include <set>

namespace {

class ControlKeys : public TWindowTest {
protected:
    void SetUp() override
    {
        TWindowTest::SetUp();
        Open();
        Events.Attach(&Main());
    }

    TControlEvents Events{ *Window };
    TControlKeys Keys{ Events };
};

TEST_F(ControlKeys, ARecordingRunsFromStartToEndWithKeysOnly)
{
    ChooseFile(FilePath("keys.mp3"));
    EXPECT_TRUE(Keys.KeyDown(TControl::RecB, TKey::Space, false));
    ExpectRecordingLook();
    EXPECT_TRUE(Keys.Shortcut('p', false));
    ExpectPausedLook();
    EXPECT_TRUE(Keys.KeyDown(TControl::PauseB, TKey::Enter, false));
    ExpectRecordingLook();
    // Stop acts on its release, which the key delivers after the press.
    EXPECT_TRUE(Keys.Shortcut('S', false));
    ExpectIdleLook("Mp3 Done");
    ASSERT_TRUE(AwaitStatus("MP3 Done"));
    EXPECT_TRUE(Shows(TControl::StopB, SkinFiles::StopBut)) << "the release lifts the button";

    EXPECT_TRUE(Keys.Shortcut('R', false));
    ExpectRecordingLook();
    EXPECT_TRUE(Keys.KeyDown(TControl::StopB, TKey::Space, false));
    ExpectIdleLook("Mp3 Done");
    ASSERT_TRUE(AwaitStatus("MP3 Done"));
}

TEST_F(ControlKeys, AHeldKeyActsOnceAndItsRepeatsAreStillTaken)
{
    ChooseFile(FilePath("held.mp3"));
    ASSERT_TRUE(Keys.Shortcut('R', false));
    ASSERT_TRUE(Keys.Shortcut('P', false));
    ExpectPausedLook();
    // A repeat of Pause would resume; of Stop, a second Stop is harmless but must not act.
    EXPECT_TRUE(Keys.Shortcut('P', true));
    EXPECT_TRUE(Keys.KeyDown(TControl::PauseB, TKey::Space, true));
    ExpectPausedLook();
    ClickStop();
    ASSERT_TRUE(AwaitStatus("MP3 Done"));
}

TEST_F(ControlKeys, OtherKeysAndControlsAreLeftToTheToolkit)
{
    ChooseFile(FilePath("left.mp3"));
    // Keys that are not Space or Enter, the background and the controls with a window of their
    // own are not the image buttons' business.
    EXPECT_FALSE(Keys.KeyDown(TControl::RecB, TKey::Other, false));
    EXPECT_FALSE(Keys.KeyDown(TControl::BackG, TKey::Space, false));
    EXPECT_FALSE(Keys.KeyDown(TControl::SaveAs, TKey::Enter, false));
    EXPECT_FALSE(Keys.KeyDown(TControl::KBS, TKey::Space, false));
    EXPECT_FALSE(Keys.Shortcut('Q', false));
    EXPECT_FALSE(Keys.Shortcut('\0', false));
    EXPECT_FALSE(TMainTestAccess::Recording(Main()));
    EXPECT_TRUE(Shows(TControl::RecB, SkinFiles::RecBut));
}

// Space, Enter and Alt+Down open the input chooser's menu, once per key held; Alt+Down means
// nothing to the image buttons, and while a run records the chooser waits.
TEST_F(ControlKeys, TheInputChooserOpensOnItsKeys)
{
    for (TKey Key : { TKey::Space, TKey::Enter, TKey::AltDown })
        EXPECT_TRUE(Keys.KeyDown(TControl::LabDev, Key, false));
    EXPECT_TRUE(Keys.KeyDown(TControl::LabDev, TKey::Space, true));
    EXPECT_FALSE(Keys.KeyDown(TControl::LabDev, TKey::Other, false));
    EXPECT_EQ(Window->Menus.size(), 3u);
    EXPECT_FALSE(Keys.KeyDown(TControl::RecB, TKey::AltDown, false));
    EXPECT_FALSE(TMainTestAccess::Recording(Main()));

    ChooseFile(FilePath("chooser.mp3"));
    ASSERT_TRUE(Keys.Shortcut('R', false));
    EXPECT_TRUE(Keys.KeyDown(TControl::LabDev, TKey::Enter, false));
    EXPECT_EQ(Window->Menus.size(), 3u);
    ClickStop();
    ASSERT_TRUE(AwaitStatus("MP3 Done"));
}

TEST_F(ControlKeys, MinimizeAndCloseActOnTheirKeys)
{
    EXPECT_TRUE(Keys.KeyDown(TControl::MinB, TKey::Enter, false));
    EXPECT_EQ(Window->Minimised, 1);
    EXPECT_FALSE(Window->Closed);
    EXPECT_TRUE(Keys.KeyDown(TControl::CloseB, TKey::Space, false));
    EXPECT_TRUE(Window->Closed);
}

TEST(ControlKeysTable, TheImageButtonsFollowTheSettingsInTheTabOrder)
{
    using enum TControl;
    const std::vector<TControl> Order = Form::TabOrder();
    // The input chooser comes last.
    ASSERT_EQ(Order.back(), LabDev);
    EXPECT_TRUE(TControlKeys::IsChooser(LabDev));
    EXPECT_FALSE(TControlKeys::IsImageButton(LabDev));
    const std::vector<TControl> Buttons(Order.end() - 6, Order.end() - 1);
    EXPECT_EQ(Buttons, (std::vector<TControl>{ RecB, PauseB, StopB, MinB, CloseB }));
    for (TControl Control : Buttons)
        EXPECT_TRUE(TControlKeys::IsImageButton(Control)) << ControlName(Control);
    for (auto Control = Order.begin(); Control != Order.end() - 6; ++Control)
        EXPECT_TRUE(Form::HasWindow(Form::Spec(*Control).Kind)) << ControlName(*Control);
    // Each shortcut names a distinct image button.
    std::vector<TControl> Targets;
    for (const TShortcut& Entry : TControlKeys::Shortcuts()) {
        EXPECT_TRUE(TControlKeys::IsImageButton(Entry.Control)) << Entry.Text;
        EXPECT_EQ(std::count(Targets.begin(), Targets.end(), Entry.Control), 0) << Entry.Text;
        Targets.push_back(Entry.Control);
    }
}

// The tab rule with the states a window shows: which controls are disabled, which radio button
// is checked.
class TabRule : public testing::Test {
protected:
    std::optional<TControl> Next(std::optional<TControl> From, bool Backward = false)
    {
        return TControlKeys::NextTabStop(
            From, Backward, [this](TControl Control) { return !Disabled.contains(Control); },
            [this](TControl Control) { return Checked.contains(Control); });
    }

    std::set<TControl> Disabled;
    std::set<TControl> Checked{ TControl::SecCustom };
};

TEST_F(TabRule, TheRoundWrapsBothWaysAndStartsFromAnyControl)
{
    using enum TControl;
    // Without a focused control, or from one outside the order (the panel), the round starts at
    // its first stop, backwards at its last.
    EXPECT_EQ(Next(std::nullopt), DirOut);
    EXPECT_EQ(Next(std::nullopt, true), LabDev);
    EXPECT_EQ(Next(State), DirOut);
    EXPECT_EQ(Next(CloseB), LabDev);
    EXPECT_EQ(Next(LabDev), DirOut);
    EXPECT_EQ(Next(DirOut, true), LabDev);
    // While a run records the chooser waits, and the round passes it by.
    Disabled = { LabDev };
    EXPECT_EQ(Next(CloseB), DirOut);
    EXPECT_EQ(Next(DirOut, true), CloseB);
    EXPECT_EQ(Next(SRate), RecB);
    EXPECT_EQ(Next(RecB, true), SRate);
}

TEST_F(TabRule, DisabledControlsAndTheUncheckedRadioButtonAreNoStops)
{
    using enum TControl;
    EXPECT_EQ(Next(SaveAs), SecCustom);
    EXPECT_EQ(Next(Secs, true), SecCustom);
    Checked = { SecNoLimit };
    Disabled = { Secs };
    EXPECT_EQ(Next(SaveAs), SecNoLimit);
    EXPECT_EQ(Next(SecNoLimit), KBS);
    EXPECT_EQ(Next(KBS, true), SecNoLimit);
    // A radio button that has the focus while unchecked (the mouse pressed it) still goes on
    // from its own place.
    EXPECT_EQ(Next(SecCustom), KBS);
    // Neither radio button checked: the group has no stop.
    Checked.clear();
    EXPECT_EQ(Next(SaveAs), KBS);
}

TEST_F(TabRule, NoStopAtAllLeavesTheFocusWhereItIs)
{
    for (const TControlSpec& Spec : Form::Controls())
        Disabled.insert(Spec.Id);
    EXPECT_EQ(Next(TControl::SaveAs), std::nullopt);
    EXPECT_EQ(Next(std::nullopt, true), std::nullopt);
    // Only the focused control left: Tab stays on it.
    Disabled.erase(TControl::MinB);
    EXPECT_EQ(Next(TControl::MinB), TControl::MinB);
}

} // namespace
