// The input chooser and the kept settings through the handlers on the fake window, where the
// scenarios that every window runs (scenarios/) do not reach: inputs that come and go between
// menus, a menu closed without a choice, no input at all, the save dialog's folder, and a file
// that cannot be written.
#include "SettingsFile.h"
#include "WindowTestSupport.h"

#include <fstream>

namespace {

class InputChooser : public TWindowTest {
protected:
    std::vector<TSimulatedDeviceSpec> InputDevices() override
    {
        return { SimulatedInput("Microphone", "mic"), SimulatedInput("Line In", "line") };
    }
    void ClickLabel()
    {
        Window->Handle([](TMain& Main) { Main.LabDevClick(); });
    }
    // A new window and behaviour, as at the program's next start.
    void Restart()
    {
        Window = std::make_unique<TFakeWindow>();
        Open();
    }
    std::filesystem::path SettingsPath() const { return SettingsFolder() / "settings"; }
};

TEST_F(InputChooser, TheMenuIsReadAfreshEachTimeAndMarksTheCurrentInput)
{
    Open();
    Window->MenuAnswer = "Line In";
    ClickLabel();
    ASSERT_EQ(Window->Menus.size(), 1u);
    EXPECT_EQ(Window->Menus[0].Entries, (std::vector<std::string>{ "Microphone", "Line In" }));
    EXPECT_EQ(Window->Menus[0].Checked, 0); // device 0 before any choice
    EXPECT_EQ(Window->Menus[0].Below, TControl::LabDev);
    EXPECT_EQ((*Window)[TControl::LabDev].Text, "Line In");
    EXPECT_EQ(TMainTestAccess::AudIn(Main()).GetBaseChannel(), 1);

    // An input plugged in before the chosen one: the mark follows the input, not its number.
    Card->SetInputs({ SimulatedInput("USB Headset", "usb"), SimulatedInput("Microphone", "mic"),
        SimulatedInput("Line In", "line") });
    Window->MenuAnswer.reset(); // closed without a choice
    ClickLabel();
    ASSERT_EQ(Window->Menus.size(), 2u);
    EXPECT_EQ(Window->Menus[1].Entries.size(), 3u);
    EXPECT_EQ(Window->Menus[1].Checked, 2);
    EXPECT_EQ((*Window)[TControl::LabDev].Text, "Line In");

    // The chosen input has gone: nothing is marked, and a choice of another still works.
    Card->SetInputs({ SimulatedInput("Microphone", "mic") });
    Window->MenuAnswer = "Microphone";
    ClickLabel();
    EXPECT_EQ(Window->Menus[2].Checked, -1);
    EXPECT_EQ(TMainTestAccess::AudIn(Main()).GetBaseChannel(), 0);
    EXPECT_EQ((*Window)[TControl::LabDev].Text, "Microphone");
    EXPECT_TRUE(Window->Errors.empty());
}

TEST_F(InputChooser, NoInputAtAllIsSaidAndNoMenuOpens)
{
    Open();
    Card->SetInputs({});
    ClickLabel();
    EXPECT_TRUE(Window->Menus.empty());
    ASSERT_EQ(Window->Errors.size(), 1u);
    EXPECT_EQ(Window->Errors[0], "There is no input to record from");
}

TEST_F(InputChooser, AStartWithoutChangesWritesNothing)
{
    Open();
    Window.reset();
    EXPECT_FALSE(std::filesystem::exists(SettingsPath()));
}

TEST_F(InputChooser, TheSaveDialogOpensInTheFolderOfTheLastFile)
{
    Open();
    ChooseFile(FilePath("take.mp3"));
    EXPECT_EQ(Window->SaveDialogs.back().Folder, "");
    ChooseFile(FilePath("next.mp3"));
    EXPECT_EQ(Window->SaveDialogs.back().Folder, Folder.string());
    Restart();
    ChooseFile(FilePath("third.mp3"));
    EXPECT_EQ(Window->SaveDialogs.back().Folder, Folder.string());
    EXPECT_EQ((*Window)[TControl::DirOut].Text, FilePath("third.mp3"));
}

TEST_F(InputChooser, AKeptInputIsFoundByItsIdentifierAtAnotherNumber)
{
    Open();
    Window->MenuAnswer = "Line In";
    ClickLabel();
    Card->SetInputs({ SimulatedInput("Line In", "line"), SimulatedInput("Microphone", "mic") });
    Restart();
    EXPECT_EQ((*Window)[TControl::LabDev].Text, "Line In");
    EXPECT_EQ(TMainTestAccess::AudIn(Main()).GetBaseChannel(), 0);
    EXPECT_EQ((*Window)[TControl::State].Hint, "");
}

// A settings file that cannot be replaced: the window goes on and says so on the panel's tooltip,
// without a box; the next change tries again.
TEST_F(InputChooser, AFailedWriteIsToldOnThePanelsTooltipAndTriedAgain)
{
    Open();
    std::filesystem::create_directories(SettingsPath().string() + ".new");
    Window->MenuAnswer = "Line In";
    ClickLabel();
    EXPECT_TRUE(Window->Errors.empty());
    EXPECT_TRUE(Window->Messages.empty());
    EXPECT_NE(
        (*Window)[TControl::State].Hint.find("Cannot save the settings in"), std::string::npos)
        << (*Window)[TControl::State].Hint;
    EXPECT_FALSE(std::filesystem::exists(SettingsPath()));

    std::filesystem::remove(SettingsPath().string() + ".new");
    (*Window)[TControl::KBS].Text = "64";
    Window->Handle([](TMain& Main) { Main.KBSChange("64"); });
    const TSettingValues Kept = TSettingsFile(SettingsFolder()).Read();
    EXPECT_EQ(Kept.at("input"), "line");
    EXPECT_EQ(Kept.at("bitrate"), "64");
}

} // namespace
