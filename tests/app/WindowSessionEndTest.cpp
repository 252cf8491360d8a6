// The session's end on the window's behaviour: an idle window lets it go at once and stays; a
// recording, running or paused, is stopped and its file complete by the time the answer is
// given; the end itself closes the window, and a later close request is still refused until
// then. The files are decoded; needs the real encoder and libmpg123.
#include "ControlEvents.h"
#include "Mp3Check.h"
#include "WindowTestSupport.h"

namespace {

// A complete file decodes to the encoder's delay of 576 + 529 frames plus every captured frame,
// and less than three MP3 frames of delay and padding in all.
constexpr int64_t EncoderDelay = 576 + 529;
constexpr int64_t DelayAndPaddingBound = 3 * 1152;

class WindowSessionEnd : public TWindowTest {
protected:
    void StartRecording(const std::string& File)
    {
        OpenWithFile(File);
        PressRecord();
        ASSERT_TRUE(TestSupport::WaitUntil([&] { return Source().Position >= 3 * 16384; }));
    }
    bool Query()
    {
        bool MayEnd = false;
        Window->Handle([&](TMain& Main) { MayEnd = Main.FormQueryEndSession(); });
        return MayEnd;
    }
    void End()
    {
        Window->Handle([](TMain& Main) { Main.FormEndSession(); });
    }
    // Checked before the window handles the run's end: the answer came after the file's end.
    void ExpectFinishedFile(const std::string& File)
    {
        EXPECT_EQ(Sink().Status(), osIdle);
        const int64_t Captured = Source().Position / 4;
        const TMp3Decoded Decoded = DecodeMp3File(File);
        ASSERT_TRUE(Decoded.Ok) << Decoded.Error;
        EXPECT_GE(Decoded.Frames, Captured + EncoderDelay) << "the run's end is missing";
        EXPECT_LE(Decoded.Frames, Captured + DelayAndPaddingBound);
    }
    bool CloseRefused()
    {
        bool MayClose = true;
        Window->Handle([&](TMain& Main) { MayClose = Main.FormCloseQuery(); });
        return !MayClose;
    }
};

TEST_F(WindowSessionEnd, IdleWindowSaysYesAndStaysThenTheEndClosesIt)
{
    Open();
    EXPECT_TRUE(Query());
    EXPECT_EQ(Window->CloseRequests, 0);
    EXPECT_TRUE(Window->TimerRunning);
    EXPECT_TRUE(CloseRefused()) << "the question is not a close request";
    ExpectIdleLook("Status");

    End();
    EXPECT_EQ(Window->CloseRequests, 1);
    EXPECT_TRUE(Window->Closed);
    EXPECT_FALSE(Window->TimerRunning);
}

TEST_F(WindowSessionEnd, QuestionDuringARunFinishesTheFileBeforeSayingYes)
{
    const std::string File = FilePath("query.mp3");
    StartRecording(File);
    EXPECT_TRUE(Query());
    ExpectFinishedFile(File);
    EXPECT_EQ(Window->CloseRequests, 0);
    EXPECT_TRUE(CloseRefused());

    // The session may still be cancelled: the window shows the run's end and records again.
    ASSERT_TRUE(AwaitStatus("MP3 Done"));
    ExpectIdleLook("MP3 Done");
    const std::string Next = FilePath("after-query.mp3");
    ChooseFile(Next);
    PressRecord();
    ExpectRecordingLook();
    ASSERT_TRUE(TestSupport::WaitUntil([&] { return Source().Position >= 2 * 16384; }));
    ClickStop();
    ASSERT_TRUE(AwaitStatus("MP3 Done"));
    ExpectFinishedFile(Next);
}

TEST_F(WindowSessionEnd, QuestionWhilePausedResumesTheWorkerToEndTheRun)
{
    const std::string File = FilePath("paused.mp3");
    StartRecording(File);
    PressPause();
    ASSERT_TRUE(TestSupport::WaitUntil([&] { return Sink().Status() == osPaused; }));
    EXPECT_TRUE(Query());
    ExpectFinishedFile(File);
}

TEST_F(WindowSessionEnd, EndWithoutTheQuestionFinishesTheFileAndClosesTheWindow)
{
    const std::string File = FilePath("end.mp3");
    StartRecording(File);
    End();
    EXPECT_TRUE(Window->Closed);
    EXPECT_FALSE(Window->TimerRunning);
    ExpectFinishedFile(File);
    Window->Destroy();
}

TEST_F(WindowSessionEnd, EndAfterTheQuestionClosesAtOnce)
{
    const std::string File = FilePath("both.mp3");
    StartRecording(File);
    EXPECT_TRUE(Query());
    End();
    EXPECT_TRUE(Window->Closed);
    ExpectFinishedFile(File);
}

// Whether a run is in progress, through the routing as a front end asks it: from the start,
// while paused, until the question has finished the run.
TEST_F(WindowSessionEnd, RunInProgressFromTheStartUntilTheQuestionFinishedIt)
{
    TControlEvents Events(*Window);
    const std::string File = FilePath("in-progress.mp3");
    OpenWithFile(File);
    Window->Handle([&](TMain& Main) { Events.Attach(&Main); });
    EXPECT_FALSE(Events.RunInProgress()) << "idle with a file chosen";
    PressRecord();
    EXPECT_TRUE(Events.RunInProgress()) << "the run has started when Record returns";
    PressPause();
    ASSERT_TRUE(TestSupport::WaitUntil([&] { return Sink().Status() == osPaused; }));
    EXPECT_TRUE(Events.RunInProgress()) << "paused";
    EXPECT_TRUE(Events.QueryEndSession());
    EXPECT_FALSE(Events.RunInProgress()) << "the answer came before the run's end";
    ExpectFinishedFile(File);
}

// The routing answers for a window whose behaviour is gone (or not yet there): the session may
// end, since nothing can be finished.
TEST_F(WindowSessionEnd, RoutingWithoutTheBehaviourLetsTheSessionEnd)
{
    TControlEvents Events(*Window);
    EXPECT_FALSE(Events.RunInProgress());
    EXPECT_TRUE(Events.QueryEndSession());
    Events.EndSession();
    EXPECT_EQ(Window->CloseRequests, 0);
}

} // namespace
