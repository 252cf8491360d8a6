// The window's scenarios of the input chooser and the settings kept between starts: an input
// chosen from the device label's menu and recorded from, the chooser waiting while a run records,
// every setting found again at the next start, and a settings file that is damaged or names an
// input that has gone.
#include "ScenarioTest.h"
#include "SettingsFile.h"

#include <fstream>

void InputScenarios::SetUp()
{
    TScenarioTest::SetUp();
    // Two inputs with tones of their own, so that a file tells which one it came from.
    Card->SetInputs({ SimulatedInput("Microphone", "mic", TSimulatedSignal::Sine(440.0, 0.5)),
        SimulatedInput("Line In", "line", TSimulatedSignal::Sine(1000.0, 0.5)) });
    UseWaveBackend(Card);
}

void InputScenarios::ChooseInput(const std::string& Name)
{
    W().AnswerMenu(Name);
    ClickImage(TControl::LabDev);
    W().AnswerMenu(std::nullopt);
}

void InputScenarios::Restart()
{
    Window.reset();
    Window = GetParam().MakeDriver();
    Open();
}

namespace {

const std::vector<std::string> BitRates22050
    = { "40", "48", "56", "64", "80", "96", "128", "144", "160" };

void WriteSettings(const std::string& Text)
{
    std::filesystem::create_directories(SettingsFolder());
    std::ofstream(SettingsFolder() / TSettingsFile::FileName, std::ios::binary) << Text;
}

TEST_P(InputScenarios, AnInputChosenFromTheLabelsMenuIsRecordedFrom)
{
    const std::string File = FilePath("line.mp3");
    OpenWithFile(File);
    EXPECT_EQ(W().Text(TControl::LabDev), "Microphone");
    ChooseInput("Line In");
    const std::vector<TShownMenu> Menus = W().TakeMenus();
    ASSERT_EQ(Menus.size(), 1u);
    EXPECT_EQ(Menus[0].Entries, (std::vector<std::string>{ "Microphone", "Line In" }));
    EXPECT_EQ(Menus[0].Checked, 0);
    EXPECT_EQ(W().Text(TControl::LabDev), "Line In");

    W().Type(TControl::Secs, "5");
    PressRecord();
    ExpectRecordingLook();
    // While the run records the chooser waits: no menu, the same input.
    ClickImage(TControl::LabDev);
    EXPECT_TRUE(W().TakeMenus().empty());
    EXPECT_EQ(W().Text(TControl::LabDev), "Line In");
    ASSERT_TRUE(AwaitStatus("MP3 Done"));
    ExpectIdleLook("MP3 Done");
    EXPECT_EQ(Card->LastOpenedDevice(), 1);
    ExpectRecording(File, 44100, 128, 5);
    const TMp3Decoded Decoded = DecodeMp3File(File);
    if (Decoded.ToneHz) { // where the check decodes the sound
        EXPECT_NEAR(*Decoded.ToneHz, 1000.0, 50.0);
    }

    // Opened again, the menu marks the input chosen; closed without a choice it changes nothing.
    ClickImage(TControl::LabDev);
    const std::vector<TShownMenu> Again = W().TakeMenus();
    ASSERT_EQ(Again.size(), 1u);
    EXPECT_EQ(Again[0].Checked, 1);
    EXPECT_EQ(W().Text(TControl::LabDev), "Line In");
    ExpectNoBox();
}

// With the keyboard only: the chooser is the stop after the image buttons, Enter and Space open
// its menu, and the focus stays on it after a choice and after a menu closed without one.
TEST_P(InputScenarios, TheChooserIsOpenedByItsKeysAndKeepsTheFocus)
{
    Open();
    for (int Step = 0; Step < 16 && W().Focused() != TControl::CloseB; ++Step)
        W().PressKey(TUserKey::Tab);
    ASSERT_EQ(W().Focused(), TControl::CloseB);
    W().PressKey(TUserKey::Tab);
    ASSERT_EQ(W().Focused(), TControl::LabDev);
    W().AnswerMenu("Line In");
    W().PressKey(TUserKey::Enter);
    W().AnswerMenu(std::nullopt);
    EXPECT_EQ(W().Text(TControl::LabDev), "Line In");
    EXPECT_EQ(W().Focused(), TControl::LabDev);
    W().PressKey(TUserKey::Space);
    const std::vector<TShownMenu> Menus = W().TakeMenus();
    ASSERT_EQ(Menus.size(), 2u);
    EXPECT_EQ(Menus[1].Checked, 1);
    EXPECT_EQ(W().Text(TControl::LabDev), "Line In");
    EXPECT_EQ(W().Focused(), TControl::LabDev);
    ExpectNoBox();
}

// Stop shows the idle look at once while the run still ends: an input chosen then goes to the
// next run, not to the one ending.
TEST_P(InputScenarios, AnInputChosenWhileTheStoppedRunStillEndsGoesToTheNextRun)
{
    const std::string File = FilePath("next.mp3");
    StartLongRecording(File);
    // Held by the test so that the stopped run cannot end before the choice.
    Sink().Pause();
    ClickStop();
    ExpectIdleLook("Mp3 Done");
    ChooseInput("Line In");
    ExpectNoBox();
    EXPECT_EQ(W().Text(TControl::LabDev), "Line In");
    Sink().Resume();
    ASSERT_TRUE(AwaitStatus("MP3 Done"));
    EXPECT_EQ(Card->LastOpenedDevice(), 0);

    W().Type(TControl::Secs, "5");
    PressRecord();
    ASSERT_TRUE(AwaitStatus("MP3 Done"));
    EXPECT_EQ(Card->LastOpenedDevice(), 1);
    ExpectRecording(File, 44100, 128, 5);
    ExpectNoBox();
}

TEST_P(InputScenarios, TheNextStartFindsTheInputAndEverySettingAsLeft)
{
    Open();
    ChooseInput("Line In");
    W().Choose(TControl::SRate, "22050");
    W().Choose(TControl::KBS, "64");
    W().Type(TControl::Secs, "60");
    Restart();
    ExpectNoBox();
    EXPECT_EQ(W().Text(TControl::LabDev), "Line In");
    EXPECT_EQ(Source().GetBaseChannel(), 1);
    EXPECT_EQ(W().Text(TControl::SRate), "22050");
    EXPECT_EQ(W().Items(TControl::KBS), BitRates22050);
    EXPECT_EQ(W().Text(TControl::KBS), "64");
    EXPECT_TRUE(W().Checked(TControl::SecCustom));
    EXPECT_EQ(W().Text(TControl::Secs), "60");
    EXPECT_TRUE(W().Enabled(TControl::Secs));
    EXPECT_EQ(W().Hint(TControl::State), "");

    W().Click(TControl::SecNoLimit);
    Restart();
    EXPECT_TRUE(W().Checked(TControl::SecNoLimit));
    EXPECT_FALSE(W().Checked(TControl::SecCustom));
    EXPECT_EQ(W().Text(TControl::Secs), "10800");
    EXPECT_FALSE(W().Enabled(TControl::Secs));
    EXPECT_EQ(W().Position(TControl::Progres), 100);
    EXPECT_EQ(W().Text(TControl::KBS), "64");
    EXPECT_EQ(W().Text(TControl::LabDev), "Line In");
}

TEST_P(InputScenarios, ADamagedSettingsFileGivesTheFormsSettings)
{
    WriteSettings("samplerate=22050\nbitrate=64\n\xff\xfe not a setting\n");
    Open();
    ExpectNoBox();
    EXPECT_EQ(W().Text(TControl::LabDev), "Microphone");
    EXPECT_EQ(W().Text(TControl::SRate), "44100");
    EXPECT_EQ(W().Text(TControl::KBS), "128");
    EXPECT_TRUE(W().Checked(TControl::SecCustom));
    EXPECT_EQ(W().Text(TControl::Secs), "10800");
    EXPECT_EQ(W().Hint(TControl::State), "");
    ExpectIdleLook("Status");
}

TEST_P(InputScenarios, AKeptInputThatHasGoneGivesDeviceZeroAndANotice)
{
    WriteSettings("input=usb\ninputname=USB Headset\nbitrate=96\n");
    Open();
    ExpectNoBox();
    EXPECT_EQ(W().Text(TControl::LabDev), "Microphone");
    EXPECT_EQ(Source().GetBaseChannel(), 0);
    EXPECT_EQ(W().Hint(TControl::State),
        "The input \"USB Headset\" is not there; recording from "
        "device 0");
    EXPECT_EQ(W().Text(TControl::KBS), "96"); // the other settings are kept all the same
    EXPECT_EQ(W().Text(TControl::State), "Status");
}

} // namespace
