// The window used with the keyboard only: Tab round the settings and the image buttons, the
// radio group and the lists by the arrow keys, Save as, Record, Pause, Stop and Close by their
// keys and shortcuts, and the focus where it was after a box and after the Save dialog.
#include "ScenarioTest.h"

namespace {

using enum TControl;

// Tabs until Target has the focus; fails after a round without it.
void TabTo(TWindowDriver& W, TControl Target)
{
    for (int Step = 0; Step < 16 && W.Focused() != Target; ++Step)
        W.PressKey(TUserKey::Tab);
    ASSERT_EQ(W.Focused(), Target) << ControlName(Target);
}

std::vector<std::optional<TControl>> Round(TWindowDriver& W, TUserKey Key, int Steps)
{
    std::vector<std::optional<TControl>> Reached;
    for (int Step = 0; Step < Steps; ++Step) {
        W.PressKey(Key);
        Reached.push_back(W.Focused());
    }
    return Reached;
}

TEST_P(WindowScenarios, TabGoesRoundTheSettingsThenTheImageButtonsAndTheInputChooser)
{
    Open();
    ASSERT_EQ(W().Focused(), SaveAs);
    using TStops = std::vector<std::optional<TControl>>;
    // The radio group is one stop, its chosen button; the status panel is none.
    EXPECT_EQ(Round(W(), TUserKey::Tab, 12),
        (TStops{ SecCustom, Secs, KBS, SRate, RecB, PauseB, StopB, MinB, CloseB, LabDev, DirOut,
            SaveAs }));
    EXPECT_EQ(Round(W(), TUserKey::ShiftTab, 12),
        (TStops{ DirOut, LabDev, CloseB, MinB, StopB, PauseB, RecB, SRate, KBS, Secs, SecCustom,
            SaveAs }));
    // With No Limit chosen the disabled seconds box is passed over.
    W().PressKey(TUserKey::Tab);
    W().PressKey(TUserKey::Down);
    ASSERT_TRUE(W().Checked(SecNoLimit));
    EXPECT_EQ(W().Focused(), SecNoLimit);
    EXPECT_EQ(Round(W(), TUserKey::Tab, 2), (TStops{ KBS, SRate }));
    EXPECT_EQ(Round(W(), TUserKey::ShiftTab, 2), (TStops{ KBS, SecNoLimit }));
    ExpectNoBox();
}

TEST_P(WindowScenarios, TheFocusStaysOnItsButtonAcrossABoxAndTheSaveDialog)
{
    Open();
    // Record without a file: the warning, then the focus is back on Record.
    TabTo(W(), RecB);
    W().PressKey(TUserKey::Space);
    ExpectOneBox(TMessageKind::mkWarning, "Warning", "Please select a new mp3 file to record");
    EXPECT_EQ(W().Focused(), RecB);
    EXPECT_EQ(Sink().Status(), osIdle);
    // Enter on Save as: the dialog, cancelled, then confirmed; the focus stays on the button.
    TabTo(W(), SaveAs);
    W().PressKey(TUserKey::Enter);
    EXPECT_EQ(W().Text(DirOut), "");
    EXPECT_EQ(W().Focused(), SaveAs);
    W().AnswerSaveDialog(FilePath("box.mp3"));
    W().PressKey(TUserKey::Enter);
    EXPECT_EQ(W().Text(DirOut), FilePath("box.mp3"));
    EXPECT_EQ(W().Focused(), SaveAs);
    // A refused setting: the error box, then the focus is back on Stop, whose shortcut
    // pressed Record from there.
    W().AnswerSaveDialog(std::nullopt);
    W().Type(SRate, "48000");
    TabTo(W(), StopB);
    W().PressKey(TUserKey::CtrlR);
    ExpectOneBox(TMessageKind::mkError, "Error", "Invalid settings selected!");
    EXPECT_EQ(W().Focused(), StopB);
    EXPECT_EQ(Sink().Status(), osIdle);
}

TEST_P(RecordingScenarios, ARecordingIsSetUpRunPausedResumedAndStoppedWithKeysOnly)
{
    const std::string File = FilePath("keys.mp3");
    Open();
    W().AnswerSaveDialog(File);
    W().PressKey(TUserKey::Space);
    W().AnswerSaveDialog(std::nullopt);
    EXPECT_EQ(W().Text(DirOut), File);

    // No Limit by the arrow keys, and back to Custom.
    TabTo(W(), SecCustom);
    W().PressKey(TUserKey::Down);
    EXPECT_TRUE(W().Checked(SecNoLimit));
    EXPECT_FALSE(W().Enabled(Secs));
    EXPECT_EQ(W().Position(Progres), 100);
    W().PressKey(TUserKey::Up);
    EXPECT_TRUE(W().Checked(SecCustom));
    EXPECT_TRUE(W().Enabled(Secs));
    EXPECT_EQ(W().Position(Progres), 0);

    // The lists by the arrow keys: 22050 Hz, whose bit rates end at 160; the top one of them.
    TabTo(W(), SRate);
    W().PressKey(TUserKey::Up);
    EXPECT_EQ(W().Text(SRate), "22050");
    EXPECT_EQ(W().Items(KBS),
        (std::vector<std::string>{ "40", "48", "56", "64", "80", "96", "128", "144", "160" }));
    TabTo(W(), KBS);
    for (int Step = 0; Step < 10; ++Step)
        W().PressKey(TUserKey::Down);
    EXPECT_EQ(W().Text(KBS), "160");
    W().PressKey(TUserKey::Up);
    EXPECT_EQ(W().Text(KBS), "144");

    TabTo(W(), Secs);
    W().Type(Secs, "10800");
    TabTo(W(), RecB);
    W().PressKey(TUserKey::Space);
    ExpectRecordingLook();
    ASSERT_TRUE(AwaitCaptured(16384));
    W().PressKey(TUserKey::CtrlP);
    ExpectPausedLook();
    EXPECT_EQ(Sink().Status(), osPaused);
    TabTo(W(), PauseB);
    W().PressKey(TUserKey::Enter);
    ExpectRecordingLook();
    EXPECT_EQ(Sink().Status(), osBusy);
    W().PressKey(TUserKey::CtrlS);
    ExpectIdleLook("Mp3 Done");
    ASSERT_TRUE(AwaitStatus("MP3 Done"));
    ExpectCompleteFile(File, 22050, 144);
    EXPECT_EQ(W().Focused(), PauseB);

    // A Custom run started by its shortcut from a list's text box runs to its end; Stop by
    // Space on its button while idle only lifts it again.
    TabTo(W(), Secs);
    W().Type(Secs, "5");
    TabTo(W(), KBS);
    W().PressKey(TUserKey::CtrlR);
    ExpectRecordingLook();
    ASSERT_TRUE(AwaitStatus("MP3 Done"));
    ExpectRecording(File, 22050, 144, 5);
    TabTo(W(), StopB);
    W().PressKey(TUserKey::Space);
    EXPECT_EQ(W().Picture(StopB), "StopBut.bmp");
    ExpectIdleLook("MP3 Done");
    ExpectNoBox();

    TabTo(W(), CloseB);
    W().PressKey(TUserKey::Enter);
    EXPECT_TRUE(W().Closed());
}

TEST_P(WindowScenarios, MinimizeByItsKeyAndCloseByItsKeyDuringARecording)
{
    Open();
    TabTo(W(), MinB);
    W().PressKey(TUserKey::Enter);
    EXPECT_TRUE(W().Minimised());
    EXPECT_FALSE(W().Closed());
    Window.reset();

    Card->SetPacing(TSimulatedPacing::RealTime);
    const std::string File = FilePath("closing.mp3");
    Window = GetParam().MakeDriver();
    OpenWithFile(File);
    W().PressKey(TUserKey::CtrlR);
    ASSERT_TRUE(AwaitCaptured(2 * 16384));
    TabTo(W(), CloseB);
    W().PressKey(TUserKey::Space);
    EXPECT_TRUE(W().Closed());
    EXPECT_EQ(Sink().Status(), osIdle) << "the window closed before the run ended";
    ExpectCompleteFile(File, 44100, 128);
    W().Destroy();
}

} // namespace
