// The window's scenarios of a run: a Custom run to its end, pause and resume, stop, Record while
// a stopped run still ends, runs that fail, pictures that can no longer be read, and the late
// reports of an earlier run; each with what the window shows and what the file holds.
#include "ScenarioTest.h"
#include "TestSupport.h"

namespace {

TEST_P(RecordingScenarios, CustomRunToItsEndRecordsItsDurationAtTheChosenRates)
{
    const std::string File = FilePath("custom.mp3");
    OpenWithFile(File);
    W().Choose(TControl::KBS, "320");
    W().Type(TControl::Secs, "6");
    PressRecord();
    ExpectRecordingLook();
    ASSERT_TRUE(AwaitStatus("MP3 Done"));
    ExpectIdleLook("MP3 Done");
    EXPECT_EQ(W().Text(TControl::Secs), "6");
    ExpectRecording(File, 44100, 320, 6);

    // Recording again to the same file replaces it.
    W().Choose(TControl::SRate, "22050");
    W().Choose(TControl::KBS, "96");
    W().Type(TControl::Secs, "5");
    PressRecord();
    ASSERT_TRUE(AwaitStatus("MP3 Done"));
    ExpectIdleLook("MP3 Done");
    ExpectRecording(File, 22050, 96, 5);
    ExpectNoBox();
}

TEST_P(RecordingScenarios, PauseAndResumeThenStopLeaveACompleteFile)
{
    const std::string File = FilePath("paused.mp3");
    StartLongRecording(File);
    ExpectRecordingLook();
    PressPause();
    ExpectPausedLook();
    EXPECT_EQ(Sink().Status(), osPaused);
    PressPause();
    ExpectRecordingLook();
    EXPECT_EQ(Sink().Status(), osBusy);

    PressPause();
    ClickStop();
    // The window is idle at once; the sink, resumed after the stop request, ends its run.
    ExpectIdleLook("Mp3 Done");
    EXPECT_EQ(W().Picture(TControl::StopB), "StopBut.bmp");
    ASSERT_TRUE(AwaitStatus("MP3 Done"));
    ExpectIdleLook("MP3 Done");
    EXPECT_EQ(Sink().Status(), osIdle);
    ExpectCompleteFile(File, 44100, 128);
    ExpectNoBox();
}

TEST_P(RecordingScenarios, StopShowsItsPressedPictureAndEndsTheRunWithACompleteFile)
{
    Open();
    // While idle a Stop click and a Pause press only show the idle pictures.
    PressPause();
    W().Press(TControl::StopB, TMouseButton::mbLeft, 5, 5);
    EXPECT_EQ(W().Picture(TControl::StopB), "StopBut_ON.bmp");
    W().Release(TControl::StopB, TMouseButton::mbLeft, 5, 5);
    EXPECT_EQ(W().Picture(TControl::StopB), "StopBut.bmp");
    ExpectIdleLook("Status");
    EXPECT_EQ(Sink().Status(), osIdle);

    const std::string File = FilePath("stopped.mp3");
    ChooseFile(File);
    W().Type(TControl::Secs, "10800");
    PressRecord();
    ASSERT_TRUE(AwaitCaptured(16384));
    W().Press(TControl::StopB, TMouseButton::mbLeft, 5, 5);
    EXPECT_EQ(W().Picture(TControl::StopB), "StopBut_ON.bmp");
    ExpectRecordingLook();
    W().Release(TControl::StopB, TMouseButton::mbLeft, 5, 5);
    EXPECT_EQ(W().Picture(TControl::StopB), "StopBut.bmp");
    ExpectIdleLook("Mp3 Done");
    ASSERT_TRUE(AwaitStatus("MP3 Done"));
    ExpectIdleLook("MP3 Done");
    ExpectCompleteFile(File, 44100, 128);
    ExpectNoBox();
}

TEST_P(RecordingScenarios, RecordDuringARecordingOrAPauseChangesNothing)
{
    StartLongRecording(FilePath("long.mp3"));
    PressRecord();
    ExpectRecordingLook();
    PressPause();
    PressRecord();
    ExpectPausedLook();
    EXPECT_EQ(Sink().Status(), osPaused);
    EXPECT_EQ(W().Text(TControl::Secs), "10800");
    ExpectNoBox();
    // The settings check still comes first: a sample rate typed meanwhile is refused.
    W().Type(TControl::SRate, "48000");
    PressRecord();
    ExpectOneBox(TMessageKind::mkError, "Error", "Invalid settings selected!");
    ExpectPausedLook();
    ClickStop();
    ASSERT_TRUE(AwaitStatus("MP3 Done"));
    ExpectCompleteFile(FilePath("long.mp3"), 44100, 128);
}

TEST_P(RecordingScenarios, RecordWhileTheStoppedRunStillEndsIsRefusedAsBusyUntilItsEnd)
{
    StartLongRecording(FilePath("long.mp3"));
    // Held by the test so that the stopped run cannot end before the next Record press.
    Sink().Pause();
    ClickStop();
    ExpectIdleLook("Mp3 Done");
    PressRecord();
    // Nothing records: the window stays as the Stop left it, after the box, after the events
    // that follow and after a second press, which is refused alike.
    const auto ExpectBusyBox = [&] {
        const std::vector<TShownBox> Boxes = W().TakeBoxes();
        ASSERT_EQ(Boxes.size(), 1u);
        EXPECT_EQ(Boxes[0].Kind, TMessageKind::mkError);
        EXPECT_EQ(Boxes[0].Text, "Component is buisy");
    };
    const auto ExpectAsStopped = [&](const char* When) {
        SCOPED_TRACE(When);
        EXPECT_EQ(W().Text(TControl::State), "Mp3 Done");
        EXPECT_EQ(W().Picture(TControl::RecB), "RecBut.bmp");
        EXPECT_EQ(W().Picture(TControl::PauseB), "PauseBut.bmp");
        EXPECT_EQ(W().Picture(TControl::StopB), "StopBut.bmp");
        EXPECT_EQ(W().Position(TControl::Progres), 0);
        for (TControl Control : { TControl::KBS, TControl::SecCustom, TControl::SecNoLimit,
                 TControl::Secs, TControl::LabDev, TControl::SRate, TControl::SaveAs })
            EXPECT_TRUE(W().Enabled(Control)) << ControlName(Control);
        EXPECT_EQ(W().Text(TControl::Secs), "10800");
    };
    ExpectBusyBox();
    ExpectAsStopped("after the box");
    W().Pump();
    ExpectAsStopped("after the window's events");
    PressRecord();
    ExpectBusyBox();
    ExpectAsStopped("after a second press");
    EXPECT_NE(Sink().Status(), osIdle) << "the stopped run ended before the test let it";

    Sink().Resume();
    ASSERT_TRUE(AwaitStatus("MP3 Done"));
    ExpectIdleLook("MP3 Done");
    ExpectCompleteFile(FilePath("long.mp3"), 44100, 128);
    W().Type(TControl::Secs, "5");
    PressRecord();
    ASSERT_TRUE(AwaitStatus("MP3 Done")) << "the window records again";
    ExpectRecording(FilePath("long.mp3"), 44100, 128, 5);
    ExpectNoBox();
}

TEST_P(RecordingScenarios, RunThatFailsShowsTheReasonOnceAndKeepsWhatWasCaptured)
{
    Open();
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
        { "file cannot be created", FilePath("gone/take.mp3"), {}, "gone" },
        { "device cannot be opened", FilePath("open.mp3"), OpenFails, "in use" },
        { "device fails", FilePath("fails.mp3"), FailsLater, "has failed" },
    };
    // The file dialog takes a file only in a folder that exists: this one goes after the choice.
    std::filesystem::create_directory(Folder / "gone");
    for (const TCase& Case : Cases) {
        Card->SetFaults(Case.Faults);
        ChooseFile(Case.File);
        std::filesystem::remove(Folder / "gone");
        W().Type(TControl::Secs, "5");
        PressRecord();
        ASSERT_TRUE(AwaitStatus("Error")) << Case.What;
        W().Pump();
        const std::vector<TShownBox> Boxes = W().TakeBoxes();
        ASSERT_EQ(Boxes.size(), 1u) << Case.What;
        EXPECT_EQ(Boxes[0].Kind, TMessageKind::mkError);
        EXPECT_EQ(Boxes[0].Title, "Error");
        EXPECT_NE(Boxes[0].Text.find(Case.Reason), std::string::npos) << Boxes[0].Text;
        ExpectIdleLook("Error");
        EXPECT_EQ(Sink().Status(), osIdle);
        EXPECT_EQ(Card->OpenDevices(), 0) << Case.What;
    }
    // The failed run's file holds what was captured before the failure and the encoder's end.
    EXPECT_GT(Source().Position, 0);
    ExpectCompleteFile(FilePath("fails.mp3"), 44100, 128);

    Card->SetFaults({});
    ChooseFile(FilePath("good.mp3"));
    PressRecord();
    ASSERT_TRUE(AwaitStatus("MP3 Done"));
    ExpectRecording(FilePath("good.mp3"), 44100, 128, 5);
    ExpectNoBox();
}

// A large button's picture that can no longer be read ends the reaction at that step: Record
// changes nothing but the duration, Pause nothing, and Stop's release does not stop the sink.
TEST_P(RecordingScenarios, PictureThatCannotBeReadEndsThePressAtThatStep)
{
    OpenWithFile(FilePath("pictures.mp3"));
    W().HideSkinFile("RecBut_ON.bmp", true);
    W().Type(TControl::Secs, "3");
    PressRecord();
    std::vector<TShownBox> Boxes = W().TakeBoxes();
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_NE(Boxes[0].Text.find("RecBut_ON.bmp"), std::string::npos) << Boxes[0].Text;
    EXPECT_EQ(W().Text(TControl::Secs), "5");
    EXPECT_EQ(Sink().Status(), osIdle);
    ExpectIdleLook("Status");
    EXPECT_FALSE(std::filesystem::exists(FilePath("pictures.mp3")));

    W().HideSkinFile("RecBut_ON.bmp", false);
    W().Type(TControl::Secs, "10800");
    PressRecord();
    ASSERT_EQ(Sink().Status(), osBusy);
    W().HideSkinFile("PauseBut_ON.bmp", true);
    PressPause();
    EXPECT_EQ(W().TakeBoxes().size(), 1u);
    EXPECT_EQ(Sink().Status(), osBusy);
    ExpectRecordingLook();

    W().HideSkinFile("StopBut.bmp", true);
    ClickStop();
    EXPECT_EQ(W().TakeBoxes().size(), 1u);
    ExpectRecordingLook();
    // A stop request would end the run within a few blocks of the flat-out card.
    const int64_t Before = Source().Position;
    ASSERT_TRUE(AwaitCaptured(Before + 8 * 16384)) << "the sink was asked to stop";
    EXPECT_EQ(Sink().Status(), osBusy);

    W().HideSkinFile("StopBut.bmp", false);
    ClickStop();
    ASSERT_TRUE(AwaitStatus("MP3 Done"));
    ExpectCompleteFile(FilePath("pictures.mp3"), 44100, 128);
    ExpectNoBox();
}

TEST_P(RecordingScenarios, LateReportsOfAnEarlierRunLeaveTheNewerOneAlone)
{
    const std::string File = FilePath("newer.mp3");
    OpenWithFile(File);
    W().Type(TControl::Secs, "5");
    PressRecord();
    // The first run ends on the worker while its reports wait in the window's queue.
    ASSERT_TRUE(TestSupport::WaitUntil([&] { return Sink().Status() == osIdle; }));
    ClickStop();
    ExpectIdleLook("Mp3 Done");

    Card->SetPacing(TSimulatedPacing::RealTime);
    W().Type(TControl::Secs, "10800");
    PressRecord();
    ASSERT_EQ(Sink().Status(), osBusy);
    W().Pump();
    ExpectRecordingLook();
    EXPECT_EQ(W().Position(TControl::Progres), 0) << "an earlier run's progress";
    ASSERT_TRUE(AwaitCaptured(2 * 16384));
    ExpectRecordingLook();

    ClickStop();
    ASSERT_TRUE(AwaitStatus("MP3 Done"));
    ExpectCompleteFile(File, 44100, 128);
    ExpectNoBox();
}

} // namespace
