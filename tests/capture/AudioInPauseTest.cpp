// A paused run: the device stops recording, so that the pause is neither delivered nor counted as
// lost sound, and the sound from just before the pause is followed by the sound from the resume.
// The simulated card plays frames that count, so that the seam shows to the frame how much of
// the card's input the pause left out.
#include "AudioTestSupport.h"
#include "PausedRecording.h"
#include "TestSupport.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using namespace AudioTestSupport;
using namespace std::chrono_literals;
using PausedRecording::TCallTime;
using PausedRecording::TClock;
using PausedRecording::Timed;

constexpr int32_t Rate = 44100;
constexpr size_t FrameBytes = 4;
// The length of the pause under test: several times what the queued buffers hold.
constexpr auto PauseLength = 2s;

// 16-bit stereo frames that count: frame n holds n's low half on the left, its high half on the
// right.
std::vector<uint8_t> CountingFrames(uint32_t Frames)
{
    std::vector<uint8_t> Data(size_t{ Frames } * FrameBytes);
    for (uint32_t N = 0; N < Frames; ++N)
        for (size_t Byte = 0; Byte < FrameBytes; ++Byte)
            Data[N * FrameBytes + Byte] = static_cast<uint8_t>(N >> (8 * Byte));
    return Data;
}

uint32_t CountAt(const std::vector<uint8_t>& Data, size_t Frame)
{
    uint32_t Count = 0;
    for (size_t Byte = 0; Byte < FrameBytes; ++Byte)
        Count |= uint32_t{ Data[Frame * FrameBytes + Byte] } << (8 * Byte);
    return Count;
}

int64_t FramesIn(TClock::duration Time)
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Time).count() * Rate / 1000000000;
}

// Recorded counts on without a break but one, the seam, where it leaves out the card's input
// from the device's stop to its start: at least the time from the end of the pause call to the
// start of the resume call, at most the time from the start of the one to the end of the other
// (and a frame either way for the device's rounding).
void ExpectOneSeamOfThePause(
    const std::vector<uint8_t>& Recorded, const TCallTime& Pause, const TCallTime& Resume)
{
    std::vector<int64_t> Jumps;
    for (size_t Frame = 1; Frame < Recorded.size() / FrameBytes; ++Frame) {
        const int64_t Step = int64_t{ CountAt(Recorded, Frame) } - CountAt(Recorded, Frame - 1);
        if (Step != 1)
            Jumps.push_back(Step - 1);
    }
    ASSERT_EQ(Jumps.size(), 1u);
    EXPECT_GE(Jumps[0], FramesIn(Resume.Before - Pause.After) - 2);
    EXPECT_LE(Jumps[0], FramesIn(Resume.After - Pause.Before) + 2);
}

class AudioInPauseTest : public SimulatedCardTest {
protected:
    void SetUp() override
    {
        SimulatedCardTest::SetUp();
        Card->SetPacing(TSimulatedPacing::RealTime);
        Card->SetSignal(TSimulatedSignal::PcmData(CountingFrames(Rate * 20)));
        SetCdFormat(AudIn, Rate, 60);
    }

    // One delivery, appended to Recorded.
    void ReadOne() { ASSERT_GT(Read(AudIn, Recorded), 0); }

    static int32_t Read(TAudioIn& From, std::vector<uint8_t>& Into)
    {
        uint8_t Block[WaveBufferLength];
        const int32_t Count = From.GetData(Block, WaveBufferLength);
        Into.insert(Into.end(), Block, Block + std::max(Count, 0));
        return Count;
    }

    void ExpectNothingLost()
    {
        EXPECT_EQ(AudIn.Losses().Dropouts, 0);
        EXPECT_EQ(AudIn.Losses().LostFrames, 0);
        EXPECT_EQ(Card->DroppedBuffers(), 0);
    }

    TAudioIn AudIn{ nullptr };
    std::vector<uint8_t> Recorded;
};

// The reader stops between two reads, as the sink's worker does, and takes nothing for the
// length of the pause: the buffers recorded before it are delivered after it, then the sound
// from the resume on.
TEST_F(AudioInPauseTest, PauseBetweenReadsIsLeftOutAndNotLost)
{
    AudIn.Init();
    for (int N = 0; N < 5; ++N)
        ReadOne();
    const TCallTime Pause = Timed([&] { AudIn.Pause(); });
    EXPECT_TRUE(AudIn.Paused());
    std::this_thread::sleep_for(PauseLength);
    const TCallTime Resume = Timed([&] { AudIn.Resume(); });
    EXPECT_FALSE(AudIn.Paused());
    for (int N = 0; N < 10; ++N)
        ReadOne();
    AudIn.Flush();
    ExpectOneSeamOfThePause(Recorded, Pause, Resume);
    ExpectNothingLost();
}

// A read under way when the run pauses gets the buffer being filled, with the sound up to the
// pause, and the worker can stop behind it.
TEST_F(AudioInPauseTest, ReadUnderWayGetsTheSoundUpToThePause)
{
    AudIn.Init();
    for (int N = 0; N < 3; ++N)
        ReadOne();
    std::vector<uint8_t> Reader;
    std::atomic<int> Reads{ 0 };
    std::thread Worker([&] {
        // The three buffers still queued come back first; the fourth read waits for the device.
        for (int N = 0; N < 4; ++N) {
            Read(AudIn, Reader);
            ++Reads;
        }
    });
    ASSERT_TRUE(TestSupport::WaitUntil([&] { return Reads >= 3; }));
    const TCallTime Pause = Timed([&] { AudIn.Pause(); });
    Worker.join();
    Recorded.insert(Recorded.end(), Reader.begin(), Reader.end());
    std::this_thread::sleep_for(PauseLength);
    const TCallTime Resume = Timed([&] { AudIn.Resume(); });
    for (int N = 0; N < 5; ++N)
        ReadOne();
    AudIn.Flush();
    ExpectOneSeamOfThePause(Recorded, Pause, Resume);
    ExpectNothingLost();
}

// A device that has nothing to return at the pause (flat out it records whole buffers only):
// the read under way waits for the resume, however much longer than the stall bound the pause
// lasts, and goes on with the sound from there.
TEST_F(AudioInPauseTest, ReadThatFindsNothingWaitsForTheResumeBeyondTheStallBound)
{
    Card->SetPacing(TSimulatedPacing::FlatOut);
    Card->SetSignal(TSimulatedSignal::PcmData(Pattern(251 * 16384)));
    AudIn.StallTimeout = 50ms;
    AudIn.Init();
    for (int N = 0; N < 8; ++N)
        ReadOne();
    AudIn.Pause();
    std::atomic<bool> Returned{ false };
    std::thread Worker([&] {
        // The filled buffers go first; then the read waits.
        for (int N = 0; N < 8; ++N)
            ASSERT_GT(Read(AudIn, Recorded), 0);
        Returned = true;
    });
    std::this_thread::sleep_for(10 * AudIn.StallTimeout);
    const bool ReturnedWhilePaused = Returned;
    AudIn.Resume();
    Worker.join();
    EXPECT_FALSE(ReturnedWhilePaused);
    AudIn.Flush();
    EXPECT_EQ(FirstPatternBreak(Recorded), Recorded.size());
    ExpectNothingLost();
}

// Pause and Resume act only on a run that records and is not paused, or paused.
TEST_F(AudioInPauseTest, PauseAndResumeOutsideARunOrTwiceChangeNothing)
{
    AudIn.Pause();
    AudIn.Resume();
    EXPECT_FALSE(AudIn.Paused());
    AudIn.Init();
    AudIn.Resume();
    EXPECT_FALSE(AudIn.Paused());
    ReadOne();
    AudIn.Pause();
    AudIn.Pause();
    EXPECT_TRUE(AudIn.Paused());
    // The end of a paused run does not wait for buffers that the stopped device will not fill.
    AudIn.Flush();
    EXPECT_FALSE(AudIn.Paused());
    AudIn.Pause();
    EXPECT_FALSE(AudIn.Paused());
    ExpectNothingLost();
}

} // namespace
