// What the window tells of a recording's troubles, on the fake window and the simulated card:
// lost sound on the status panel and in its tooltip, clipping as a red level bar for a second and
// at the end, the question before a run the disk cannot hold, the warning when a run without a
// limit runs out of room; and a run without any of them looking exactly as it always has.
#include "RunNotices.h"
#include "WindowTestSupport.h"

#include <condition_variable>
#include <fstream>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

class WindowNotices : public TWindowTest {
protected:
    void RecordSeconds(const char* Seconds)
    {
        (*Window)[TControl::Secs].Text = Seconds;
        PressRecord();
    }
    bool AwaitIdle()
    {
        return Window->PumpUntil([&] { return !TMainTestAccess::Recording(Main()); });
    }
    void Ticks(int Count)
    {
        for (int N = 0; N < Count; ++N)
            Tick();
    }
    std::string Hint() { return (*Window)[TControl::State].Hint; }
    TColor BarColor() { return (*Window)[TControl::Indicator].ElementColor; }
    TRunNotices& Notices() { return TMainTestAccess::Notices(Main()); }
    // Ticks until the panel shows Text, as the window's timer would.
    bool TickUntilStatus(const std::string& Text)
    {
        return TestSupport::WaitUntil([&] {
            Tick();
            return Status() == Text;
        });
    }
    void FreeSpaceIs(uint64_t Bytes)
    {
        Notices().FreeSpace = [Bytes](const std::string&) { return std::optional(Bytes); };
    }
};

TEST_F(WindowNotices, RunsWithoutTroubleLookAsTheyAlwaysHave)
{
    OpenWithFile(FilePath("clean.mp3"));
    RecordSeconds("5");
    ExpectRecordingLook();
    Tick();
    ExpectRecordingLook();
    ASSERT_TRUE(AwaitStatus("MP3 Done"));
    Ticks(12);
    ExpectIdleLook("MP3 Done");
    Card->SetPacing(TSimulatedPacing::RealTime);
    RecordSeconds("5");
    Ticks(3);
    ClickStop();
    ExpectIdleLook("Mp3 Done");
    ASSERT_TRUE(AwaitStatus("MP3 Done"));
    EXPECT_EQ(Hint(), "");
    EXPECT_EQ((*Window)[TControl::Indicator].ElementColorChanges, 0);
    EXPECT_TRUE(Window->Questions.empty());
    EXPECT_TRUE(Window->Messages.empty());
}

TEST_F(WindowNotices, LostSoundShowsWhileRecordingAndAtTheEnd)
{
    Card->SetPacing(TSimulatedPacing::RealTime);
    TSimulatedFaults Faults;
    Faults.GapAfter = 1;
    Faults.GapFrames = 4410; // 0.1 s
    Card->SetFaults(Faults);
    OpenWithFile(FilePath("gap.mp3"));
    RecordSeconds("5");
    ASSERT_TRUE(TestSupport::WaitUntil([&] { return Source().Losses().Dropouts == 1; }));
    Tick();
    EXPECT_EQ(Status(), "1 drop");
    EXPECT_EQ(Hint(), "Recording, 1 dropout, 0.1 s lost");
    // Pause and resume show their own texts; the next tick brings the loss back.
    PressPause();
    Tick();
    EXPECT_EQ(Status(), "Pause");
    PressPause();
    EXPECT_EQ(Status(), "Record");
    Tick();
    EXPECT_EQ(Status(), "1 drop");
    ClickStop();
    EXPECT_EQ(Status(), "1 drop");
    EXPECT_EQ(Hint(), "Done, 1 dropout, 0.1 s lost");
    // The run's end, reported after the stop, keeps the short text.
    ASSERT_TRUE(TestSupport::WaitUntil([&] { return TMainTestAccess::EndedRuns(Main()) == 1; }));
    Window->Pump();
    EXPECT_EQ(Status(), "1 drop");
    EXPECT_EQ(Hint(), "Done, 1 dropout, 0.1 s lost");

    // The next run starts clean.
    Card->SetFaults({});
    RecordSeconds("5");
    EXPECT_EQ(Hint(), "");
    Tick();
    EXPECT_EQ(Status(), "Record");
    ClickStop();
    EXPECT_EQ(Status(), "Mp3 Done");
}

// The device stops while the run is paused: a pause longer than the queued buffers hold is no
// lost sound, before or after the resume.
TEST_F(WindowNotices, PauseIsNoLostSound)
{
    Card->SetPacing(TSimulatedPacing::RealTime);
    OpenWithFile(FilePath("paused.mp3"));
    RecordSeconds("60");
    ASSERT_TRUE(TestSupport::WaitUntil([&] { return Source().Position > 0; }));
    PressPause();
    EXPECT_TRUE(Source().Paused());
    // The pause under test: longer than the four queued buffers take to fill.
    std::this_thread::sleep_for(std::chrono::seconds(1));
    Tick();
    EXPECT_EQ(Status(), "Pause");
    PressPause();
    EXPECT_FALSE(Source().Paused());
    const int64_t Resumed = Source().Position;
    ASSERT_TRUE(TestSupport::WaitUntil([&] { return Source().Position > Resumed; }));
    Tick();
    EXPECT_EQ(Status(), "Record");
    ClickStop();
    ASSERT_TRUE(AwaitStatus("MP3 Done"));
    EXPECT_EQ(Hint(), "");
    EXPECT_EQ(Source().Losses().Dropouts, 0);
    EXPECT_EQ(Card->DroppedBuffers(), 0);
}

// Stop while paused ends the run at once, also when the worker's read waits since the pause for
// the device to record again (flat out, the stopped device holds nothing to return).
TEST_F(WindowNotices, StopWhilePausedEndsTheRunWhateverTheReadWaitsFor)
{
    OpenWithFile(FilePath("stopped.mp3"));
    RecordSeconds("60");
    ASSERT_TRUE(TestSupport::WaitUntil([&] { return Source().Position > 0; }));
    PressPause();
    ClickStop();
    ASSERT_TRUE(AwaitStatus("MP3 Done"));
    EXPECT_FALSE(Source().Paused());
    EXPECT_EQ(Source().Losses().Dropouts, 0);
}

// Record pressed while the stopped run still ends is refused as busy; the notices stay with that
// run, whose end still tells what it met.
TEST_F(WindowNotices, ARecordRefusedAsBusyLeavesTheEndingRunItsNotices)
{
    Card->SetSignal(TSimulatedSignal::Constant(32767));
    Card->SetPacing(TSimulatedPacing::RealTime);
    OpenWithFile(FilePath("loud.mp3"));
    RecordSeconds("60");
    ASSERT_TRUE(
        TestSupport::WaitUntil([&] { return TMainTestAccess::SndIndic(Main()).Clips() > 0; }));
    // Held so that the stopped run cannot end before the next Record press.
    Sink().Pause();
    ClickStop();
    EXPECT_EQ(Status(), "1 clip");
    EXPECT_EQ(Hint(), "Done, clipped 1 time");
    PressRecord();
    ASSERT_EQ(Window->Errors, std::vector<std::string>{ "Component is buisy" });
    Sink().Resume();
    ASSERT_TRUE(AwaitIdle() && Window->PumpUntil([&] { return Sink().Status() == osIdle; }));
    Window->Pump();
    EXPECT_EQ(Status(), "1 clip");
    EXPECT_EQ(Hint(), "Done, clipped 1 time");
}

TEST_F(WindowNotices, FullScaleTurnsTheBarRedForASecondAndCountsAtTheEnd)
{
    Card->SetSignal(TSimulatedSignal::Constant(32767));
    OpenWithFile(FilePath("loud.mp3"));
    RecordSeconds("5");
    ASSERT_TRUE(AwaitIdle());
    EXPECT_EQ(Status(), "1 clip");
    EXPECT_EQ(Hint(), "Done, clipped 1 time");
    Tick();
    EXPECT_EQ(BarColor(), TRunNotices::ClipColor);
    Ticks(TRunNotices::ClipTicks - 1);
    EXPECT_EQ(BarColor(), TRunNotices::ClipColor);
    Tick();
    EXPECT_EQ(BarColor(), TFakeWindow::FormIndicatorColor);
    Ticks(20);
    EXPECT_EQ((*Window)[TControl::Indicator].ElementColorChanges, 2);
}

// Full scale for 0.05 s in every half second at 44100 Hz, 16-bit stereo: a new time each burst.
TSimulatedSignal FullScaleBursts()
{
    constexpr int Period = 22050;
    constexpr int Burst = 2205;
    std::vector<uint8_t> Bytes(Period * 4, 0);
    for (int Frame = 0; Frame < Burst; ++Frame)
        for (int Byte = 0; Byte < 4; Byte += 2) {
            Bytes[Frame * 4 + Byte] = 0xFF;
            Bytes[Frame * 4 + Byte + 1] = 0x7F;
        }
    return TSimulatedSignal::PcmData(std::move(Bytes));
}

TEST_F(WindowNotices, TheFirstClipOfARunTurnsTheBarRedAfterARunWithMoreClips)
{
    Card->SetSignal(FullScaleBursts());
    OpenWithFile(FilePath("bursts.mp3"));
    RecordSeconds("5");
    ASSERT_TRUE(AwaitIdle());
    ASSERT_GT(TMainTestAccess::SndIndic(Main()).Clips(), 1);
    Ticks(TRunNotices::ClipTicks + 1); // red for a second, then the bar's own colour again
    ASSERT_EQ(BarColor(), TFakeWindow::FormIndicatorColor);

    Card->SetSignal(TSimulatedSignal::Constant(32767));
    RecordSeconds("5");
    ASSERT_TRUE(AwaitIdle());
    ASSERT_EQ(Status(), "1 clip");
    Tick();
    EXPECT_EQ(BarColor(), TRunNotices::ClipColor);

    // A start that fails leaves the indicator with the last run's count, which is no news.
    Ticks(TRunNotices::ClipTicks);
    ASSERT_EQ(BarColor(), TFakeWindow::FormIndicatorColor);
    TSimulatedFaults Faults;
    Faults.OpenError = "the device is gone";
    Card->SetFaults(Faults);
    RecordSeconds("5");
    ASSERT_EQ(Status(), "Error");
    Tick();
    EXPECT_EQ(BarColor(), TFakeWindow::FormIndicatorColor);
}

// A run that fails ends its notices as a finished one does: the idle window no longer says
// "Recording", and the next run starts without them.
TEST_F(WindowNotices, AFailedRunsNoticesEndWithIt)
{
    Card->SetPacing(TSimulatedPacing::RealTime);
    TSimulatedFaults Faults;
    Faults.GapAfter = 1;
    Faults.GapFrames = 4410; // 0.1 s
    Faults.FailAfter = 6;
    Card->SetFaults(Faults);
    OpenWithFile(FilePath("failing.mp3"));
    RecordSeconds("30");
    ASSERT_TRUE(TestSupport::WaitUntil([&] { return Source().Losses().Dropouts == 1; }));
    Tick(); // the failure, already raised or not, reaches the window only when pumped
    ASSERT_EQ(Hint(), "Recording, 1 dropout, 0.1 s lost");
    ASSERT_TRUE(AwaitStatus("Error"));
    ExpectIdleLook("Error");
    EXPECT_EQ(Hint(), "Error, 1 dropout, 0.1 s lost");
    Tick();
    EXPECT_EQ(Status(), "Error");
    EXPECT_EQ(Hint(), "Error, 1 dropout, 0.1 s lost");

    // A run that cannot start has met nothing.
    Faults = {};
    Faults.OpenError = "the device is gone";
    Card->SetFaults(Faults);
    RecordSeconds("5");
    ExpectIdleLook("Error");
    EXPECT_EQ(Hint(), "");
}

TEST_F(WindowNotices, RecordAsksBeforeARunTheDiskCannotHold)
{
    OpenWithFile(FilePath("big.mp3"));
    FreeSpaceIs(100000); // 60 s at 128 kbit/s need 960 000 bytes and the margin
    Window->AnswerYes = false;
    RecordSeconds("60");
    ASSERT_EQ(Window->Questions.size(), 1u);
    EXPECT_EQ(Window->Questions[0].Title, "Warning");
    EXPECT_EQ(Window->Questions[0].Text,
        "The recording needs about 1.0 MB, but the disk has only 0.1 MB free. Record anyway?");
    EXPECT_FALSE(TMainTestAccess::Recording(Main()));
    EXPECT_EQ(Status(), "Status");
    EXPECT_EQ(Card->OpenedCount(), 0);
    EXPECT_TRUE((*Window)[TControl::KBS].Enabled);

    Window->AnswerYes = true;
    RecordSeconds("60");
    EXPECT_EQ(Window->Questions.size(), 2u);
    ExpectRecordingLook();
    ClickStop();
    ASSERT_TRUE(AwaitStatus("MP3 Done"));

    // Room enough, or a file system that cannot tell: no question.
    FreeSpaceIs(2000000);
    RecordSeconds("60");
    ClickStop();
    ASSERT_TRUE(AwaitStatus("MP3 Done"));
    Notices().FreeSpace = [](const std::string&) { return std::optional<uint64_t>(); };
    RecordSeconds("60");
    ClickStop();
    EXPECT_EQ(Window->Questions.size(), 2u);
}

// Recording again to the same file replaces it: its bytes are room for the new take.
TEST_F(WindowNotices, TheFileARunReplacesCountsAsFree)
{
    const std::string Take = FilePath("again.mp3");
    OpenWithFile(Take);
    FreeSpaceIs(100000); // 60 s at 128 kbit/s need about 1.03 MB
    {
        std::ofstream File(Take, std::ios::binary);
        File << std::string(1000000, 'x');
    }
    RecordSeconds("60");
    EXPECT_TRUE(Window->Questions.empty());
    ExpectRecordingLook();
    ClickStop();
    ASSERT_TRUE(AwaitStatus("MP3 Done"));

    {
        std::ofstream File(Take, std::ios::binary | std::ios::trunc);
        File << std::string(500000, 'x');
    }
    Window->AnswerYes = false;
    RecordSeconds("60");
    ASSERT_EQ(Window->Questions.size(), 1u);
    EXPECT_EQ(Window->Questions[0].Text,
        "The recording needs about 1.0 MB, but the disk has only 0.6 MB free. Record anyway?");
    EXPECT_EQ(std::filesystem::file_size(Take), 500000u);
}

// The free space is asked away from the window's thread; what a query answers shows at the first
// tick after it has come.
TEST_F(WindowNotices, NoLimitRunSaysOnceWhenLessThanAMinuteFits)
{
    Card->SetPacing(TSimulatedPacing::RealTime);
    OpenWithFile(FilePath("long.mp3"));
    Window->Select(TControl::SecNoLimit);
    auto Asked = std::make_shared<std::vector<std::thread::id>>();
    auto AskedLock = std::make_shared<std::mutex>();
    Notices().FreeSpace = [Asked, AskedLock](const std::string&) {
        std::lock_guard Lock(*AskedLock);
        Asked->push_back(std::this_thread::get_id());
        return std::optional<uint64_t>(959999); // a byte short of a minute at 128 kbit/s
    };
    PressRecord();
    EXPECT_TRUE(Window->Questions.empty());
    Ticks(TRunNotices::DiskCheckTicks - 1);
    EXPECT_EQ(Status(), "Record");
    ASSERT_TRUE(TickUntilStatus("Disk low"));
    EXPECT_EQ(Hint(), "Recording, less than a minute of recording fits on the disk");
    {
        std::lock_guard Lock(*AskedLock);
        ASSERT_FALSE(Asked->empty());
        for (const std::thread::id Thread : *Asked)
            EXPECT_NE(Thread, std::this_thread::get_id());
    }
    FreeSpaceIs(10000000); // said once: room freed later does not take it back
    Ticks(3 * TRunNotices::DiskCheckTicks);
    EXPECT_EQ(Status(), "Disk low");
    ClickStop();
    EXPECT_EQ(Status(), "Mp3 Done");
    EXPECT_EQ(Hint(), "");
}

// A file system that stalls (a network mount whose server has gone) never freezes the window:
// the query that hangs holds only the watch's thread, and the ticks' requests do not pile up.
TEST_F(WindowNotices, AStalledFileSystemNeverHoldsTheWindow)
{
    struct TStall {
        std::mutex Mutex;
        std::condition_variable Changed;
        bool Released = false;
        int Calls = 0;
        int OnWindowThread = 0;
    };
    auto Stall = std::make_shared<TStall>();
    const std::thread::id WindowThread = std::this_thread::get_id();
    Card->SetPacing(TSimulatedPacing::RealTime);
    OpenWithFile(FilePath("stalled.mp3"));
    Window->Select(TControl::SecNoLimit);
    Notices().FreeSpace = [Stall, WindowThread](const std::string&) {
        std::unique_lock Lock(Stall->Mutex);
        if (std::this_thread::get_id() == WindowThread) {
            ++Stall->OnWindowThread; // the window would freeze here
            return std::optional<uint64_t>(1000);
        }
        ++Stall->Calls;
        Stall->Changed.notify_all();
        Stall->Changed.wait_for(Lock, TestSupport::FailAfter, [&] { return Stall->Released; });
        return std::optional<uint64_t>(1000);
    };
    PressRecord();
    Ticks(TRunNotices::DiskCheckTicks);
    {
        std::unique_lock Lock(Stall->Mutex);
        ASSERT_TRUE(Stall->Changed.wait_for(
            Lock, TestSupport::FailAfter, [&] { return Stall->Calls == 1; }));
    }
    Ticks(3 * TRunNotices::DiskCheckTicks);
    EXPECT_EQ(Status(), "Record");
    {
        std::lock_guard Lock(Stall->Mutex);
        EXPECT_EQ(Stall->Calls, 1);
        EXPECT_EQ(Stall->OnWindowThread, 0);
        Stall->Released = true;
        Stall->Changed.notify_all();
    }
    ASSERT_TRUE(TickUntilStatus("Disk low"));
    ClickStop();
}

} // namespace
