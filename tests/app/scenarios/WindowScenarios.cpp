// The window's scenarios outside a run, and closing: start-up with and without the skin,
// dragging, minimising, the settings and their boxes, Save as, No Limit, and closing while idle,
// recording or paused, with the close button's release inside or outside it.
#include "ScenarioTest.h"

namespace {

const std::vector<std::string> BitRates44100
    = { "40", "48", "56", "64", "80", "96", "128", "160", "192", "256", "320" };
const std::vector<std::string> BitRates22050
    = { "40", "48", "56", "64", "80", "96", "128", "144", "160" };

TEST_P(WindowScenarios, StartShowsTheSkinTheDeviceAndTheFormsSettings)
{
    Open();
    ExpectNoBox();
    EXPECT_EQ(W().Picture(TControl::BackG), "Window.png");
    EXPECT_EQ(W().Picture(TControl::CloseB), "CloseB.png");
    EXPECT_EQ(W().Picture(TControl::MinB), "MinB.png");
    EXPECT_EQ(W().Picture(TControl::StopB), "StopBut.bmp");
    EXPECT_EQ(W().Text(TControl::LabDev), "Simulated Sound Card");
    ExpectIdleLook("Status");
    EXPECT_TRUE(W().Checked(TControl::SecCustom));
    EXPECT_FALSE(W().Checked(TControl::SecNoLimit));
    EXPECT_EQ(W().Text(TControl::Secs), "10800");
    EXPECT_EQ(W().Text(TControl::SRate), "44100");
    EXPECT_EQ(W().Items(TControl::SRate), (std::vector<std::string>{ "22050", "44100" }));
    EXPECT_EQ(W().Text(TControl::KBS), "128");
    EXPECT_EQ(W().Items(TControl::KBS), BitRates44100);
    EXPECT_EQ(W().Text(TControl::DirOut), "");
}

TEST_P(WindowScenarios, StartWithoutTheSkinFolderShowsOneErrorAndTheCloseButtonStillCloses)
{
    W().Open(false);
    const std::vector<TShownBox> Boxes = W().TakeBoxes();
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Kind, TMessageKind::mkError);
    EXPECT_NE(Boxes[0].Text.find("CloseB.png"), std::string::npos) << Boxes[0].Text;
    for (TControl Image : { TControl::BackG, TControl::RecB, TControl::PauseB, TControl::StopB,
             TControl::MinB, TControl::CloseB })
        EXPECT_EQ(W().Picture(Image), "") << ControlName(Image);
    EXPECT_EQ(W().Text(TControl::LabDev), "Unknown");
    EXPECT_FALSE(W().Closed());
    ClickClose();
    EXPECT_TRUE(W().Closed());
    ExpectNoBox();
}

TEST_P(WindowScenarios, DragWithAnyButtonMovesTheWindowByThePointersMovementUntilTheRelease)
{
    Open();
    // The background shows between the controls along the top edge.
    const TWindowPlace Start = W().Place();
    W().Press(TControl::BackG, TMouseButton::mbRight, 150, 12);
    W().Move(TControl::BackG, 180, 20);
    EXPECT_EQ(W().Place(), (TWindowPlace{ Start.Left + 30, Start.Top + 8 }));
    W().Release(TControl::BackG, TMouseButton::mbRight, 180, 20);
    W().Move(TControl::BackG, 200, 25);
    EXPECT_EQ(W().Place(), (TWindowPlace{ Start.Left + 30, Start.Top + 8 }));

    W().Press(TControl::BackG, TMouseButton::mbLeft, 60, 12);
    W().Move(TControl::BackG, 55, 22);
    W().Release(TControl::BackG, TMouseButton::mbLeft, 55, 22);
    EXPECT_EQ(W().Place(), (TWindowPlace{ Start.Left + 25, Start.Top + 18 }));
    EXPECT_FALSE(W().Closed());
}

TEST_P(WindowScenarios, MinimiseShowsThePressedPictureAndOnlyAPrimaryClickMinimises)
{
    Open();
    W().Press(TControl::MinB, TMouseButton::mbRight, 7, 8);
    EXPECT_EQ(W().Picture(TControl::MinB), "MinB_ON.png");
    W().Release(TControl::MinB, TMouseButton::mbRight, 7, 8);
    EXPECT_EQ(W().Picture(TControl::MinB), "MinB.png");
    EXPECT_FALSE(W().Minimised());

    W().Press(TControl::MinB, TMouseButton::mbLeft, 7, 8);
    EXPECT_EQ(W().Picture(TControl::MinB), "MinB_ON.png");
    EXPECT_FALSE(W().Minimised());
    W().Release(TControl::MinB, TMouseButton::mbLeft, 7, 8);
    EXPECT_EQ(W().Picture(TControl::MinB), "MinB.png");
    EXPECT_TRUE(W().Minimised());
    EXPECT_FALSE(W().Closed());
}

TEST_P(WindowScenarios, RecordClampsTheDurationAndWithoutAFileShowsTheWarning)
{
    Open();
    struct TDuration {
        const char* Typed;
        const char* Shown;
    };
    for (const TDuration& Case : { TDuration{ "0", "5" }, TDuration{ "-3", "5" },
             TDuration{ "20000", "10800" }, TDuration{ "abc", "abc" } }) {
        W().Type(TControl::Secs, Case.Typed);
        PressRecord();
        EXPECT_EQ(W().Text(TControl::Secs), Case.Shown) << Case.Typed;
        ExpectOneBox(TMessageKind::mkWarning, "Warning", "Please select a new mp3 file to record");
    }
    ExpectIdleLook("Status");
    EXPECT_EQ(Sink().Status(), osIdle);
    EXPECT_TRUE(std::filesystem::is_empty(Folder));
}

TEST_P(WindowScenarios, SampleRateRefillKeepsTheBitRateTextAndUnlistedTextsAreRefused)
{
    OpenWithFile(FilePath("refused.mp3"));
    W().Choose(TControl::KBS, "320");
    W().Choose(TControl::SRate, "22050");
    EXPECT_EQ(W().Items(TControl::KBS), BitRates22050);
    EXPECT_EQ(W().Text(TControl::KBS), "320");
    PressRecord();
    ExpectOneBox(TMessageKind::mkError, "Error", "Invalid settings selected!");

    W().Type(TControl::SRate, "48000");
    EXPECT_EQ(W().Items(TControl::KBS), BitRates44100);
    EXPECT_EQ(W().Text(TControl::KBS), "320");
    PressRecord();
    ExpectOneBox(TMessageKind::mkError, "Error", "Invalid settings selected!");

    W().Choose(TControl::SRate, "44100");
    W().Type(TControl::KBS, "128 ");
    PressRecord();
    ExpectOneBox(TMessageKind::mkError, "Error", "Invalid settings selected!");
    W().Type(TControl::KBS, "");
    PressRecord();
    ExpectOneBox(TMessageKind::mkError, "Error", "Invalid settings selected!");
    ExpectIdleLook("Status");
    EXPECT_EQ(Sink().Status(), osIdle);
    EXPECT_FALSE(std::filesystem::exists(FilePath("refused.mp3")));
}

TEST_P(WindowScenarios, SaveAsCancelledKeepsTheFileChosenBefore)
{
    Open();
    ChooseFile(FilePath("first.mp3"));
    EXPECT_EQ(W().Text(TControl::DirOut), FilePath("first.mp3"));
    W().Click(TControl::SaveAs);
    EXPECT_EQ(W().Text(TControl::DirOut), FilePath("first.mp3"));
    ExpectNoBox();
}

TEST_P(WindowScenarios, NoLimitFillsTheProgressForTheRunAndCustomEmptiesIt)
{
    Card->SetPacing(TSimulatedPacing::RealTime);
    OpenWithFile(FilePath("nolimit.mp3"));
    W().Type(TControl::Secs, "60");
    W().Click(TControl::SecNoLimit);
    EXPECT_TRUE(W().Checked(TControl::SecNoLimit));
    EXPECT_FALSE(W().Enabled(TControl::Secs));
    EXPECT_EQ(W().Text(TControl::Secs), "10800");
    EXPECT_EQ(W().Position(TControl::Progres), 100);

    PressRecord();
    ExpectRecordingLook();
    ASSERT_TRUE(AwaitCaptured(3 * 16384));
    EXPECT_EQ(W().Position(TControl::Progres), 100) << "a progress report was shown";
    EXPECT_EQ(Source().RecTime, 10800);
    ClickStop();
    ExpectIdleLook("Mp3 Done");
    EXPECT_FALSE(W().Enabled(TControl::Secs));
    ASSERT_TRUE(AwaitStatus("MP3 Done"));
    ExpectIdleLook("MP3 Done");
    ExpectCompleteFile(FilePath("nolimit.mp3"), 44100, 128);

    W().Click(TControl::SecCustom);
    EXPECT_TRUE(W().Checked(TControl::SecCustom));
    EXPECT_TRUE(W().Enabled(TControl::Secs));
    EXPECT_EQ(W().Position(TControl::Progres), 0);
    EXPECT_EQ(W().Text(TControl::Secs), "10800");
    ExpectNoBox();
}

TEST_P(WindowScenarios, CloseWhileIdleClosesAtOnce)
{
    Open();
    W().Press(TControl::CloseB, TMouseButton::mbLeft, 7, 8);
    EXPECT_EQ(W().Picture(TControl::CloseB), "CloseB_ON.png");
    EXPECT_FALSE(W().Closed());
    W().Release(TControl::CloseB, TMouseButton::mbLeft, 7, 8);
    EXPECT_EQ(W().Picture(TControl::CloseB), "CloseB.png");
    EXPECT_TRUE(W().Closed());
}

TEST_P(WindowScenarios, CloseWhileRecordingOrPausedEndsTheRunWithACompleteFile)
{
    Card->SetPacing(TSimulatedPacing::RealTime);
    for (const bool Paused : { false, true }) {
        const std::string File = FilePath(Paused ? "paused.mp3" : "recording.mp3");
        Window.reset();
        Window = GetParam().MakeDriver();
        OpenWithFile(File);
        PressRecord();
        ASSERT_TRUE(AwaitCaptured(2 * 16384));
        if (Paused)
            PressPause();
        ClickClose();
        EXPECT_TRUE(W().Closed()) << "paused " << Paused;
        EXPECT_EQ(Sink().Status(), osIdle) << "the window closed before the run ended";
        ExpectCompleteFile(File, 44100, 128);
        W().Destroy();
    }
}

TEST_P(WindowScenarios, ReleaseOutsideCloseClosesWithoutStoppingAndTheEndFollows)
{
    Card->SetPacing(TSimulatedPacing::RealTime);
    const std::string File = FilePath("outside.mp3");
    OpenWithFile(File);
    PressRecord();
    ASSERT_TRUE(AwaitCaptured(2 * 16384));
    PressPause();
    AwaitPassInFlight();
    const int64_t Captured = Source().Position / 4;
    W().Press(TControl::CloseB, TMouseButton::mbLeft, 7, 8);
    W().Move(TControl::CloseB, -100, 60);
    W().Release(TControl::CloseB, TMouseButton::mbLeft, -100, 60);
    EXPECT_TRUE(W().Closed());
    EXPECT_EQ(W().Picture(TControl::CloseB), "CloseB.png");
    EXPECT_EQ(Sink().Status(), osPaused) << "the sink was asked to stop";
    // The behaviour's end stops the paused run and awaits it before the sink goes.
    W().Destroy();
    const TMp3Decoded Decoded = DecodeMp3File(File);
    ASSERT_TRUE(Decoded.Ok) << Decoded.Error;
    EXPECT_GE(Decoded.Frames, Captured + EncoderDelay) << "the run was abandoned";
    EXPECT_LE(Decoded.Frames, Captured + DelayAndPaddingBound);
}

} // namespace
