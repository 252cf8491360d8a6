// Sound lost on the way in: the capture source counts each stretch of lost sound and its frames
// without stopping the run, whether the device skipped sound or the reader fell behind so far
// that no buffer was queued; and wave-in's gap meter, which measures the stretches by time.
#include "AudioTestSupport.h"
#include "LossCounters.h"
#include "QueueGapMeter.h"
#include "TestSupport.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {

using namespace AudioTestSupport;
using namespace std::chrono_literals;

class AudioInLossTest : public SimulatedCardTest {
protected:
    std::vector<uint8_t> ReadToEnd()
    {
        std::vector<uint8_t> All;
        std::vector<uint8_t> Piece(WaveBufferLength);
        while (int32_t Count = AudIn.GetData(Piece.data(), WaveBufferLength))
            All.insert(All.end(), Piece.begin(), Piece.begin() + Count);
        return All;
    }

    TAudioIn AudIn{ nullptr };
};

TEST_F(AudioInLossTest, GapIsOneDropoutOfItsFramesAndTheRunGoesOnBehindIt)
{
    TSimulatedFaults Faults;
    Faults.GapAfter = 3;
    Faults.GapFrames = 1000;
    Card->SetFaults(Faults);
    SetCdFormat(AudIn, 22050, 2);
    AudIn.Init();
    const std::vector<uint8_t> Data = ReadToEnd();
    AudIn.Flush();

    EXPECT_EQ(Data.size(), 22050u * 4 * 2 + (WaveBufferLength - 22050 * 4 * 2 % WaveBufferLength));
    const size_t Before = 3 * WaveBufferLength;
    EXPECT_EQ(FirstPatternBreak(Data), Before);
    const std::vector<uint8_t> After(Data.begin() + Before, Data.end());
    EXPECT_EQ(FirstPatternBreak(After, Before + 1000 * 4), After.size());
    const TCaptureLosses Losses = AudIn.Losses();
    EXPECT_EQ(Losses.Dropouts, 1);
    EXPECT_EQ(Losses.LostFrames, 1000);

    // The next run starts from nothing lost; its device brings its own gap along.
    Card->SetFaults({});
    AudIn.Init();
    EXPECT_EQ(AudIn.Losses().Dropouts, 0);
    EXPECT_EQ(AudIn.Losses().LostFrames, 0);
    ReadToEnd();
    AudIn.Flush();
    EXPECT_EQ(AudIn.Losses().Dropouts, 0);
}

// The losses come with the first block recorded after them, also to a reader that takes each
// block in pieces.
TEST_F(AudioInLossTest, GapIsCountedWithTheBlockAfterItWhenReadInPieces)
{
    TSimulatedFaults Faults;
    Faults.GapAfter = 3;
    Faults.GapFrames = 1000;
    Card->SetFaults(Faults);
    SetCdFormat(AudIn, 22050, 2);
    AudIn.Init();
    std::vector<uint8_t> Data;
    std::vector<uint8_t> Piece(5000);
    bool CountedAfterTheGap = false;
    while (int32_t Count = AudIn.GetData(Piece.data(), 5000)) {
        if (Data.size() == 3 * WaveBufferLength) // the first piece of the block after the gap
            CountedAfterTheGap = AudIn.Losses().Dropouts == 1;
        Data.insert(Data.end(), Piece.begin(), Piece.begin() + Count);
    }
    AudIn.Flush();
    EXPECT_TRUE(CountedAfterTheGap);
    const size_t Before = 3 * WaveBufferLength;
    EXPECT_EQ(FirstPatternBreak(Data), Before);
    const std::vector<uint8_t> After(Data.begin() + Before, Data.end());
    EXPECT_EQ(FirstPatternBreak(After, Before + 1000 * 4), After.size());
    EXPECT_EQ(AudIn.Losses().Dropouts, 1);
    EXPECT_EQ(AudIn.Losses().LostFrames, 1000);
}

// A reader that takes no buffer leaves the device with none queued once the four are filled:
// what comes then is dropped as one stretch, which ends when the reader queues buffers again.
TEST_F(AudioInLossTest, ReaderFallingBehindIsOneDropoutOfTheDroppedFrames)
{
    Card->SetPacing(TSimulatedPacing::RealTime);
    // A byte rate at which a buffer fills in a few milliseconds.
    SetCdFormat(AudIn, 1000000, 10);
    AudIn.Init();
    std::vector<uint8_t> Piece(WaveBufferLength);
    // Four buffers fill in about 65 ms: a loaded machine may have dropped sound already.
    ASSERT_EQ(AudIn.GetData(Piece.data(), WaveBufferLength), int32_t(WaveBufferLength));
    ASSERT_TRUE(TestSupport::WaitUntil([&] { return Card->DroppedBuffers() >= 3; }));
    // The blocks still waiting were recorded before the stretch; the one after it counts it.
    for (int N = 0; N < 5; ++N)
        ASSERT_EQ(AudIn.GetData(Piece.data(), WaveBufferLength), int32_t(WaveBufferLength));
    AudIn.Flush();
    const TCaptureLosses Losses = AudIn.Losses();
    EXPECT_GE(Losses.Dropouts, 1);
    const int64_t ChunkFrames = WaveBufferLength / 4;
    // Sound may still be dropped while Flush waits, after it took the counts.
    EXPECT_LE(Losses.LostFrames, Card->DroppedBuffers() * ChunkFrames);
    EXPECT_EQ(Losses.LostFrames % ChunkFrames, 0);
    EXPECT_GE(Losses.LostFrames, 3 * ChunkFrames);
}

// ---------------------------------------------------------------------------------------------
// The devices' counts, read while the device's thread counts

// Every loss here is one dropout of 1000 frames: a reader must never see more dropouts than
// frames account for, whatever it interleaves with. The device counts until the reader has read
// often, so that the two overlap on any machine.
TEST(LossCountersTest, AReaderNeverSeesADropoutWithoutItsFrames)
{
    constexpr uint64_t Frames = 1000;
    constexpr int64_t Reads = 5000000;
    TLossCounters Counters;
    std::atomic<int64_t> ReadsDone{ 0 };
    std::atomic<uint64_t> Losses{ 0 };
    std::thread Device([&] {
        for (uint64_t N = 0; ReadsDone < Reads; ++N) {
            if (N % 3 == 0)
                Counters.Overrun(Frames);
            else if (N % 3 == 1)
                Counters.Dropped(Frames, true);
            else
                Counters.Lost(Frames, true);
            Losses = N + 1;
        }
    });
    int64_t Torn = 0;
    for (int64_t N = 0; N < Reads; ++N) {
        const TWaveInCounters Seen = Counters.Read();
        if (Seen.LostFrames < Seen.Dropouts * Frames)
            ++Torn;
        ReadsDone = N + 1;
    }
    Device.join();
    EXPECT_EQ(Torn, 0) << "of " << Reads << " reads";
    const TWaveInCounters Last = Counters.Read();
    EXPECT_EQ(Last.Dropouts, Losses.load());
    EXPECT_EQ(Last.LostFrames, Losses * Frames);
    EXPECT_EQ(Last.Overruns, (Losses + 2) / 3);
    EXPECT_EQ(Last.DroppedFrames, (Losses + 1) / 3 * Frames);
}

// ---------------------------------------------------------------------------------------------
// Wave-in's meter of the time without a queued buffer

TEST(QueueGapMeterTest, TimeWithoutAQueuedBufferWhileRecordingIsOneDropout)
{
    TQueueGapMeter Meter(44100);
    const auto T0 = TQueueGapMeter::TClock::time_point{} + 1h;
    Meter.Started();
    Meter.Queued(T0);
    Meter.Queued(T0);
    Meter.Returned(T0 + 10ms); // one still queued: nothing lost
    EXPECT_EQ(Meter.Counters(T0 + 1s).Dropouts, 0u);
    Meter.Returned(T0 + 20ms); // none queued from here
    Meter.Queued(T0 + 520ms); // half a second without a buffer
    EXPECT_EQ(Meter.Counters(T0 + 1s).Dropouts, 1u);
    EXPECT_EQ(Meter.Counters(T0 + 1s).LostFrames, 22050u);
    Meter.Queued(T0 + 530ms); // queued while one is queued: no gap
    EXPECT_EQ(Meter.Counters(T0 + 1s).Dropouts, 1u);
}

TEST(QueueGapMeterTest, NoLossBeforeTheFirstBufferAfterAResetOrForARefusedBuffer)
{
    TQueueGapMeter Meter(22050);
    const auto T0 = TQueueGapMeter::TClock::time_point{} + 1h;
    Meter.Started();
    Meter.Queued(T0 + 1s); // the device has not recorded into anything yet: no loss
    Meter.Queued(T0 + 1s);
    Meter.Withdrawn(); // refused by the platform: not a queued buffer
    Meter.Stopped(T0 + 2s);
    Meter.Returned(T0 + 2s); // the reset returns the buffer: not a loss either
    Meter.Started();
    Meter.Queued(T0 + 3s);
    EXPECT_EQ(Meter.Counters(T0 + 1s).Dropouts, 0u);
    EXPECT_EQ(Meter.Counters(T0 + 1s).LostFrames, 0u);
    Meter.Returned(T0 + 4s);
    Meter.Queued(T0 + 4s + 100ms);
    EXPECT_EQ(Meter.Counters(T0 + 5s).Dropouts, 1u);
    EXPECT_EQ(Meter.Counters(T0 + 5s).LostFrames, 2205u);
}

// A stretch without a buffer that is still going on when the counts are read, or when the device
// stops, is lost sound too: it counts up to that moment, once.
TEST(QueueGapMeterTest, StretchStillGoingOnCountsUpToTheReadingAndUpToTheStop)
{
    TQueueGapMeter Meter(44100);
    const auto T0 = TQueueGapMeter::TClock::time_point{} + 1h;
    Meter.Started();
    Meter.Queued(T0);
    Meter.Returned(T0 + 10ms); // none queued from here
    EXPECT_EQ(Meter.Counters(T0 + 110ms).Dropouts, 1u);
    EXPECT_EQ(Meter.Counters(T0 + 110ms).LostFrames, 4410u);
    EXPECT_EQ(Meter.Counters(T0 + 1s + 10ms).LostFrames, 44100u); // it grows while it lasts
    Meter.Stopped(T0 + 2s + 10ms); // the run stops during it
    EXPECT_EQ(Meter.Counters(T0 + 5s).Dropouts, 1u);
    EXPECT_EQ(Meter.Counters(T0 + 5s).LostFrames, 88200u);
    // A stop at once after a start lost nothing, and a later start begins afresh.
    Meter.Started();
    Meter.Stopped(T0 + 6s);
    Meter.Started();
    Meter.Queued(T0 + 7s);
    Meter.Queued(T0 + 7s);
    Meter.Returned(T0 + 8s);
    EXPECT_EQ(Meter.Counters(T0 + 9s).Dropouts, 1u);
    EXPECT_EQ(Meter.Counters(T0 + 9s).LostFrames, 88200u);
}

} // namespace
