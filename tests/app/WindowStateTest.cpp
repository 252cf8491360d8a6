// The window's behaviour driven only through its handlers: start-up, the mouse on the window,
// the settings rules, the recording states, closing during a run, runs that fail, and reports
// of an earlier run that come late.
#include "RecordSettings.h"
#include "WindowTestSupport.h"

namespace {

using TestSupport::WaitUntil;

class WindowStart : public TWindowTest { };

TEST_F(WindowStart, ReadsTheSkinStartsTheTimerAndNamesTheDevice)
{
    Window->FolderForSkin = "/corvatone//";
    Open();
    EXPECT_EQ(TMainTestAccess::AppPath(Main()), "/corvatone/");
    EXPECT_TRUE(Shows(TControl::CloseB, SkinFiles::CloseB));
    EXPECT_TRUE(Shows(TControl::MinB, SkinFiles::MinB));
    EXPECT_TRUE(Shows(TControl::BackG, SkinFiles::Window));
    EXPECT_TRUE(Shows(TControl::StopB, SkinFiles::StopBut));
    EXPECT_EQ((*Window)[TControl::LabDev].Text, "Simulated Sound Card");
    EXPECT_TRUE(Window->TimerRunning);
    EXPECT_EQ(Window->TimerInterval, std::chrono::milliseconds(100));
    ExpectIdleLook("Status");
}

TEST_F(WindowStart, UnreadablePictureEndsTheStartThereAndTheCloseButtonStillCloses)
{
    Window->Unreadable = { SkinFiles::PauseBut };
    Window->Open();
    ASSERT_EQ(Window->Errors.size(), 1u);
    EXPECT_NE(Window->Errors[0].find("Skin/PauseBut.bmp"), std::string::npos) << Window->Errors[0];
    EXPECT_TRUE(Shows(TControl::RecB, SkinFiles::RecBut));
    EXPECT_TRUE((*Window)[TControl::PauseB].Picture.empty());
    EXPECT_TRUE((*Window)[TControl::StopB].Picture.empty());
    EXPECT_EQ((*Window)[TControl::LabDev].Text, "Unknown");

    Window->Unreadable = { SkinFiles::CloseB };
    EXPECT_FALSE(Main().FormCloseQuery());
    ClickClose();
    EXPECT_TRUE(Window->Closed);
    EXPECT_EQ(Window->Errors.size(), 1u);
}

class WindowMouse : public TWindowTest { };

TEST_F(WindowMouse, DraggingMovesByThePointersMovementUntilTheRelease)
{
    Open();
    Window->Handle([](TMain& Main) { Main.BackGMouseDown(TMouseButton::mbRight, 100, 100); });
    Window->Handle([](TMain& Main) { Main.BackGMouseMove(130, 85); });
    EXPECT_EQ(Window->Left, 130);
    EXPECT_EQ(Window->Top, 85);
    Window->Handle([](TMain& Main) { Main.BackGMouseUp(TMouseButton::mbRight, 130, 85); });
    Window->Handle([](TMain& Main) { Main.BackGMouseMove(160, 160); });
    EXPECT_EQ(Window->Left, 130);
    EXPECT_FALSE(TMainTestAccess::Dragging(Main()));
}

TEST_F(WindowMouse, MinimiseAndCloseButtonsShowTheirPressedPictures)
{
    Open();
    Window->Handle([](TMain& Main) { Main.MinBMouseDown(TMouseButton::mbLeft, 7, 8); });
    EXPECT_TRUE(Shows(TControl::MinB, SkinFiles::MinBOn));
    Window->Handle([](TMain& Main) { Main.MinBClick(); });
    Window->Handle([](TMain& Main) { Main.MinBMouseUp(TMouseButton::mbLeft, 7, 8); });
    EXPECT_TRUE(Shows(TControl::MinB, SkinFiles::MinB));
    EXPECT_EQ(Window->Minimised, 1);

    Window->Handle([](TMain& Main) { Main.CloseBMouseDown(TMouseButton::mbLeft, 7, 8); });
    EXPECT_TRUE(Shows(TControl::CloseB, SkinFiles::CloseBOn));
    EXPECT_FALSE(Main().FormCloseQuery());
    Window->Handle([](TMain& Main) { Main.CloseBMouseUp(TMouseButton::mbLeft, 7, 8); });
    EXPECT_TRUE(Shows(TControl::CloseB, SkinFiles::CloseB));
    // From idle the window closes at once, the timer still running.
    EXPECT_TRUE(Window->Closed);
    EXPECT_TRUE(Window->TimerRunning);
    EXPECT_TRUE(TMainTestAccess::CanExit(Main()));
}

class WindowSettings : public TWindowTest { };

TEST_F(WindowSettings, RecordClampsTheDurationAndRefusesWhatIsNotListedOrNoFile)
{
    Open();
    struct TDuration {
        const char* Typed;
        const char* Shown;
    };
    for (const TDuration& Case : { TDuration{ "0", "5" }, TDuration{ "-3", "5" },
             TDuration{ "20000", "10800" }, TDuration{ "abc", "abc" } }) {
        Window->Messages.clear();
        (*Window)[TControl::Secs].Text = Case.Typed;
        PressRecord();
        EXPECT_EQ(Secs(), Case.Shown) << Case.Typed;
        ASSERT_EQ(Window->Messages.size(), 1u);
        EXPECT_EQ(Window->Messages[0].Kind, TMessageKind::mkWarning);
        EXPECT_EQ(Window->Messages[0].Title, "Warning");
        EXPECT_EQ(Window->Messages[0].Text, "Please select a new mp3 file to record");
    }
    ChooseFile(FilePath("refused.mp3"));
    struct TCase {
        const char* SampleRate;
        const char* BitRate;
    };
    for (const TCase& Case : { TCase{ "48000", "128" }, TCase{ "44100", "128 " },
             TCase{ "44100", "" }, TCase{ "22050", "320" } }) {
        Window->Messages.clear();
        (*Window)[TControl::SRate].Text = Case.SampleRate;
        Window->Handle([&](TMain& Main) { Main.SRateChange(Case.SampleRate); });
        (*Window)[TControl::KBS].Text = Case.BitRate;
        PressRecord();
        ASSERT_EQ(Window->Messages.size(), 1u) << Case.SampleRate << "/" << Case.BitRate;
        EXPECT_EQ(Window->Messages[0].Kind, TMessageKind::mkError);
        EXPECT_EQ(Window->Messages[0].Title, "Error");
        EXPECT_EQ(Window->Messages[0].Text, "Invalid settings selected!");
        EXPECT_EQ(Sink().Status(), osIdle);
        ExpectIdleLook("Status");
    }
    EXPECT_TRUE(Window->Errors.empty());
}

TEST_F(WindowSettings, SampleRateChangeRefillsTheBitRateListAndKeepsItsText)
{
    Open();
    (*Window)[TControl::KBS].Text = "320";
    Window->Handle([](TMain& Main) { Main.SRateChange("22050"); });
    EXPECT_EQ((*Window)[TControl::KBS].Items.size(), 9u);
    EXPECT_EQ((*Window)[TControl::KBS].Text, "320");
    EXPECT_FALSE(Main().CheckSettings());
    Window->Handle([](TMain& Main) { Main.SRateChange("2205"); });
    EXPECT_EQ((*Window)[TControl::KBS].Items, RecordSettings::BitRateList("44100"));
    EXPECT_EQ((*Window)[TControl::KBS].Text, "320");
}

TEST_F(WindowSettings, DurationChoiceSetsTheSpinBoxAndTheProgressBar)
{
    Open();
    Window->Select(TControl::SecNoLimit);
    EXPECT_FALSE((*Window)[TControl::Secs].Enabled);
    EXPECT_EQ(Secs(), "10800");
    EXPECT_EQ((*Window)[TControl::Progres].Position, 100);
    Window->Select(TControl::SecCustom);
    EXPECT_TRUE((*Window)[TControl::Secs].Enabled);
    EXPECT_EQ((*Window)[TControl::Progres].Position, 0);
}

TEST_F(WindowSettings, SaveAsRunsTheDialogAndACancelChangesNothing)
{
    Open();
    ChooseFile(FilePath("first.mp3"));
    Window->Handle([](TMain& Main) { Main.SaveAsClick(); });
    EXPECT_EQ((*Window)[TControl::DirOut].Text, FilePath("first.mp3"));
    ASSERT_EQ(Window->SaveDialogs.size(), 2u);
    const TSaveDialogSpec& Spec = Window->SaveDialogs[0];
    EXPECT_EQ(Spec.Title, "Choose folder to save");
    EXPECT_EQ(Spec.FilterName, "Mp3 Files");
    EXPECT_EQ(Spec.FilterPattern, "*.mp3");
    EXPECT_EQ(Spec.DefaultExtension, "mp3");
    EXPECT_TRUE(Spec.ConfirmOverwrite);
}

class WindowRecording : public TWindowTest {
protected:
    // A recording that does not end by itself while the test looks at it.
    void StartLongRecording()
    {
        OpenWithFile(FilePath("long.mp3"));
        (*Window)[TControl::Secs].Text = "10800";
        PressRecord();
        ASSERT_EQ(Sink().Status(), osBusy);
    }
};

TEST_F(WindowRecording, PauseAndStopWhileIdleOnlyResetThePictures)
{
    Open();
    PressPause();
    ClickStop();
    ExpectIdleLook("Status");
    EXPECT_TRUE(Shows(TControl::StopB, SkinFiles::StopBut));
    EXPECT_EQ(Sink().Status(), osIdle);
    EXPECT_TRUE(Window->Messages.empty());
}

TEST_F(WindowRecording, RecordDuringARecordingOrAPauseOnlyClampsTheDuration)
{
    StartLongRecording();
    ExpectRecordingLook();
    (*Window)[TControl::Secs].Text = "0";
    PressRecord();
    EXPECT_EQ(Secs(), "5");
    ExpectRecordingLook();
    PressPause();
    ExpectPausedLook();
    EXPECT_EQ(Sink().Status(), osPaused);
    PressRecord();
    ExpectPausedLook();
    EXPECT_EQ(Source().RecTime, 10800);
    ClickStop();
    ExpectIdleLook("Mp3 Done");
    ASSERT_TRUE(AwaitStatus("MP3 Done"));
    ExpectIdleLook("MP3 Done");
    EXPECT_TRUE(Window->Errors.empty());
}

TEST_F(WindowRecording, RecordWhileTheStoppedRunStillEndsIsRefusedUntilItsEnd)
{
    StartLongRecording();
    // Held by the test so that the stopped run cannot end before the next Record press.
    Sink().Pause();
    ClickStop();
    ExpectIdleLook("Mp3 Done");
    PressRecord();
    EXPECT_EQ(Window->Errors, std::vector<std::string>{ "Component is buisy" });
    ExpectRecordingLook();
    Sink().Resume();
    ASSERT_TRUE(AwaitStatus("MP3 Done"));
    ExpectIdleLook("MP3 Done");
}

TEST_F(WindowRecording, LateReportsOfAnEarlierRunLeaveTheNewerOneAlone)
{
    OpenWithFile(FilePath("newer.mp3"));
    (*Window)[TControl::Secs].Text = "5";
    PressRecord();
    // The first run's progress and end are queued, not handled.
    ASSERT_TRUE(WaitUntil([&] { return TMainTestAccess::EndedRuns(Main()) == 1; }));
    ClickStop();
    ExpectIdleLook("Mp3 Done");

    Card->SetPacing(TSimulatedPacing::RealTime);
    (*Window)[TControl::Secs].Text = "10800";
    PressRecord();
    ASSERT_EQ(Sink().Status(), osBusy);
    EXPECT_GT(Window->Pump(), 1);
    ExpectRecordingLook();
    EXPECT_EQ((*Window)[TControl::Progres].Position, 0) << "an earlier run's progress";

    ClickStop();
    ASSERT_TRUE(AwaitStatus("MP3 Done"));
    // The worker counts the end just after it has posted its report.
    EXPECT_TRUE(WaitUntil([&] { return TMainTestAccess::EndedRuns(Main()) == 2; }));
    EXPECT_TRUE(Window->Errors.empty());
}

TEST_F(WindowRecording, RunThatFailsShowsTheReasonOnceAndReturnsToIdle)
{
    struct TCase {
        const char* What;
        std::string File;
        TSimulatedFaults Faults;
        const char* Reason; // part of the message
    };
    TSimulatedFaults OpenFails;
    OpenFails.OpenError = "the simulated device is in use";
    TSimulatedFaults FailsLater;
    FailsLater.FailAfter = 3;
    const TCase Cases[] = {
        { "file cannot be created", FilePath("no-such-folder/take.mp3"), {}, "no-such-folder" },
        { "device cannot be opened", FilePath("open.mp3"), OpenFails, "in use" },
        { "device fails", FilePath("fails.mp3"), FailsLater, "has failed" },
    };
    Open();
    for (const TCase& Case : Cases) {
        Window->Messages.clear();
        Card->SetFaults(Case.Faults);
        ChooseFile(Case.File);
        (*Window)[TControl::Secs].Text = "5";
        PressRecord();
        ASSERT_TRUE(AwaitStatus("Error")) << Case.What;
        Window->Pump();
        ASSERT_EQ(Window->Messages.size(), 1u) << Case.What;
        EXPECT_EQ(Window->Messages[0].Kind, TMessageKind::mkError);
        EXPECT_EQ(Window->Messages[0].Title, "Error");
        EXPECT_NE(Window->Messages[0].Text.find(Case.Reason), std::string::npos)
            << Window->Messages[0].Text;
        ExpectIdleLook("Error");
        EXPECT_EQ(Sink().Status(), osIdle);
        EXPECT_EQ(Card->OpenDevices(), 0) << Case.What;
    }
    Card->SetFaults({});
    ChooseFile(FilePath("good.mp3"));
    PressRecord();
    ASSERT_TRUE(AwaitStatus("MP3 Done"));
    EXPECT_TRUE(Window->Errors.empty());
}

// A large button's picture that can no longer be read ends the reaction at that step.
TEST_F(WindowRecording, PictureThatCannotBeReadEndsThePressAtThatStep)
{
    OpenWithFile(FilePath("pictures.mp3"));
    Window->Unreadable = { SkinFiles::RecButOn };
    (*Window)[TControl::Secs].Text = "3";
    PressRecord();
    ASSERT_EQ(Window->Errors.size(), 1u);
    EXPECT_NE(Window->Errors[0].find(SkinFiles::RecButOn), std::string::npos);
    EXPECT_EQ(Secs(), "5");
    EXPECT_EQ(Sink().Status(), osIdle);
    EXPECT_TRUE(Sink().GetFileName().empty());
    ExpectIdleLook("Status");

    Window->Unreadable.clear();
    (*Window)[TControl::Secs].Text = "10800";
    PressRecord();
    Window->Unreadable = { SkinFiles::StopBut };
    ClickStop();
    EXPECT_EQ(Window->Errors.size(), 2u);
    EXPECT_EQ(Sink().Status(), osBusy) << "the sink was asked to stop";
    ExpectRecordingLook();
    Window->Unreadable.clear();
    ClickStop();
    ASSERT_TRUE(AwaitStatus("MP3 Done"));
}

class WindowClose : public TWindowTest { };

TEST_F(WindowClose, DuringARecordingOrAPauseStopsTheSinkAndClosesOnceTheRunHasEnded)
{
    for (const bool Paused : { false, true }) {
        Window = std::make_unique<TFakeWindow>();
        Card->SetPacing(TSimulatedPacing::RealTime);
        OpenWithFile(FilePath("closing.mp3"));
        PressRecord();
        ASSERT_TRUE(WaitUntil([&] { return Source().Position >= 16384; }));
        if (Paused)
            PressPause();
        ClickClose();
        EXPECT_TRUE(Window->Closed) << "paused " << Paused;
        EXPECT_FALSE(Window->TimerRunning);
        EXPECT_EQ(Sink().Status(), osIdle) << "the window closed before the run ended";
    }
}

TEST_F(WindowClose, ReleaseOutsideTheButtonWaitsWithoutAStopRequestAndDestructionEndsTheRun)
{
    Card->SetPacing(TSimulatedPacing::RealTime);
    OpenWithFile(FilePath("closing.mp3"));
    PressRecord();
    PressPause();
    // A press and a release without the click: no stop request, the short wait, then closed.
    Window->Handle([](TMain& Main) { Main.CloseBMouseDown(TMouseButton::mbLeft, 7, 8); });
    Window->Handle([](TMain& Main) { Main.CloseBMouseUp(TMouseButton::mbLeft, -100, 60); });
    EXPECT_TRUE(Window->Closed);
    EXPECT_EQ(Sink().Status(), osPaused);
    Window->Destroy();
    EXPECT_EQ(Card->OpenDevices(), 0) << "the run was ended before the sink went";
}

} // namespace
