// Closing the window while a run is under way: the window goes, and the sink is destroyed, only
// once the run has ended, so that the file is always complete.
#include "RecordSettings.h"
#include "RecordingSupport.h"

#include <mutex>

namespace {

const QPoint InsideSmallButton(7, 8);

// The worker's pass lock, published for the test: it is held for each pass, so taking it after a
// Pause waits for the pass in flight, after which the paused worker reads nothing more.
struct TSinkWorkerAccess : TMP3Out {
    using TACSOutput::Thread;
};
void AwaitPassInFlight(TMP3Out& Sink)
{
    std::lock_guard Pass((Sink.*&TSinkWorkerAccess::Thread).BlockLock);
}

class RecordingClose : public TRecordingTest {
protected:
    // A real-time recording that has captured Blocks buffers, paused when Paused.
    void StartRecording(bool Paused, int Blocks = 2)
    {
        Card->SetPacing(TSimulatedPacing::RealTime);
        OpenWithFile(File);
        Secs()->setValue(RecordSettings::MaxSeconds);
        PressRecord();
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return Source().Position >= Blocks * 16384; }, EventBoundMs));
        if (Paused)
            PressPause();
    }
    void ClickClose()
    {
        QTest::mouseClick(Control("CloseB"), Qt::LeftButton, {}, InsideSmallButton);
    }

    // Destroys the window and checks that the file holds every frame captured, with the
    // encoder's tail: the captured count is final (the run has ended, is paused with no pass in
    // flight, or the device holds on to every further buffer).
    void DestroyAndExpectCompleteFile()
    {
        const int64_t Captured = Source().Position / 4;
        Main.reset();
        const TMp3Decoded Decoded = DecodeMp3File(File.toStdString());
        ASSERT_TRUE(Decoded.Ok) << Decoded.Error;
        EXPECT_EQ(Decoded.SampleRate, 44100);
        EXPECT_EQ(Decoded.Channels, 2);
        EXPECT_GE(Decoded.Frames, Captured + EncoderDelay)
            << "the run's end is missing from the file";
        EXPECT_LE(Decoded.Frames, Captured + DelayAndPaddingBound);
    }

    const QString File = FilePath("closing.mp3");
};

// A device that keeps its buffers after two holds the worker in its read until the source gives
// up: the run ends only then, with exactly two buffers captured, well after the design's 600 ms.
class RecordingCloseStalled : public RecordingClose {
protected:
    void StartStalledRecording(std::chrono::milliseconds GiveUpAfter)
    {
        TSimulatedFaults Stalls;
        Stalls.StallAfter = 2;
        Card->SetFaults(Stalls);
        OpenWithFile(File);
        Source().StallTimeout = GiveUpAfter;
        Secs()->setValue(RecordSettings::MaxSeconds);
        PressRecord();
        ASSERT_TRUE(QTest::qWaitFor([&] { return Source().Position == 2 * 16384; }, EventBoundMs));
    }
};

TEST_F(RecordingCloseStalled, WaitsForARunThatEndsLate)
{
    StartStalledRecording(std::chrono::milliseconds(1500));
    ClickClose();
    EXPECT_FALSE(Main->isVisible());
    EXPECT_EQ(Sink().Status(), osIdle) << "the window closed before the run ended";
    DestroyAndExpectCompleteFile();
}

TEST_F(RecordingClose, WhileTheStoppedRunStillEndsClosesAtOnceAndTheEndFollows)
{
    StartRecording(false);
    // Held by the test so that the stopped run is still under way when the window closes.
    Sink().Pause();
    AwaitPassInFlight(Sink());
    ClickStop();
    ExpectIdleLook("Mp3 Done");
    ClickClose();
    EXPECT_FALSE(Main->isVisible());
    EXPECT_TRUE(TMainFormTestAccess::Tim(*Main).isActive()) << "closing from idle does not wait";
    EXPECT_EQ(Sink().Status(), osPaused);
    DestroyAndExpectCompleteFile();
}

} // namespace
