// TAudioIn over the simulated card: the record limit, the deliveries out of the four queued
// buffers, the end of a run and the run protocol.
#include "AudioTestSupport.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace AudioTestSupport;

class AudioInTest : public SimulatedCardTest {
protected:
    // Reads with requests of Request bytes until GetData answers 0; returns what came.
    std::vector<uint8_t> ReadToEnd(int32_t Request, std::vector<int32_t>* Counts = nullptr)
    {
        std::vector<uint8_t> All;
        std::vector<uint8_t> Piece(static_cast<size_t>(Request));
        while (int32_t Count = AudIn.GetData(Piece.data(), Request)) {
            All.insert(All.end(), Piece.begin(), Piece.begin() + Count);
            if (Counts)
                Counts->push_back(Count);
        }
        return All;
    }

    TAudioIn AudIn{ nullptr };
};

// ---------------------------------------------------------------------------------------------
// Record limit

TEST_F(AudioInTest, RecordLimitFollowsTheFormatAndDuration)
{
    EXPECT_EQ(AudIn.Size, -1); // no planned total before the first run
    AudIn.Init(); // defaults: 8 bits, 1 channel, 8000 Hz, 600 s
    EXPECT_EQ(AudIn.Size, 4800000);
    EXPECT_EQ(AudIn.GetTotalTime(), 600);
    AudIn.Flush();

    SetCdFormat(AudIn, 44100, 10800); // the window's longest setting
    AudIn.Init();
    EXPECT_EQ(AudIn.Size, 1905120000);
    AudIn.Flush();
}

TEST_F(AudioInTest, ZeroLimitEndsAtOnceWithTheDeviceRunning)
{
    uint8_t Block[16384];
    AudIn.RecTime = 0;
    AudIn.Init();
    EXPECT_EQ(AudIn.Size, 0);
    EXPECT_EQ(Card->OpenDevices(), 1);
    EXPECT_EQ(AudIn.GetData(Block, 16384), 0);
    AudIn.Flush();

    AudIn.RecTime = 600;
    AudIn.InBitsPerSample = 4; // 4 div 8 is 0
    AudIn.Init();
    EXPECT_EQ(AudIn.Size, 0);
    EXPECT_EQ(AudIn.GetData(Block, 16384), 0);
    AudIn.Flush();
}

TEST_F(AudioInTest, LimitWrapsAt32Bits)
{
    // 4 bytes x 10800 s x 2 x 44100 Hz = 3,810,240,000, which wraps to a negative limit.
    AudIn.InBitsPerSample = 32;
    AudIn.InChannels = 2;
    AudIn.InSampleRate = 44100;
    AudIn.RecTime = 10800;
    AudIn.Init();
    EXPECT_EQ(AudIn.Size, static_cast<int32_t>(3810240000u));
    EXPECT_LT(AudIn.Size, 0);
    AudIn.Flush();

    // 1 x 65536 x 1 x 65536 = 2^32 wraps to exactly 0: the run ends at once.
    AudIn.InBitsPerSample = 8;
    AudIn.InChannels = 1;
    AudIn.InSampleRate = 65536;
    AudIn.RecTime = 65536;
    AudIn.Init();
    EXPECT_EQ(AudIn.Size, 0);
    uint8_t Block[16384];
    EXPECT_EQ(AudIn.GetData(Block, 16384), 0);
    AudIn.Flush();
}

TEST_F(AudioInTest, FormatProductsWrapAt32BitsToo)
{
    // 65536 channels x 65536 bits = 2^32 wraps to 0: a block alignment of 0. The record limit
    // 8192 x 600 x 65536 x 8000 wraps to 0 as well, so the run ends at once.
    AudIn.InChannels = 65536;
    AudIn.InBitsPerSample = 65536;
    AudIn.Init();
    EXPECT_EQ(Card->LastOpenedFormat().BlockAlign, 0);
    EXPECT_EQ(Card->LastOpenedFormat().AvgBytesPerSec, 0u);
    EXPECT_EQ(AudIn.Size, 0);
    uint8_t Block[16];
    EXPECT_EQ(AudIn.GetData(Block, 16), 0);
    AudIn.Flush();
    EXPECT_FALSE(AudIn.Busy);
}

TEST_F(AudioInTest, NegativeLimitNeverEndsByItself)
{
    AudIn.InBitsPerSample = 32;
    AudIn.InChannels = 2;
    AudIn.InSampleRate = 44100;
    AudIn.RecTime = 10800;
    AudIn.Init();
    uint8_t Block[16384];
    // Far more than any positive limit reachable from Position 0 in these few calls would allow,
    // and each call is a whole buffer.
    for (int N = 0; N < 64; ++N)
        ASSERT_EQ(AudIn.GetData(Block, 16384), 16384) << "delivery " << N;
    EXPECT_EQ(AudIn.Position, 64 * 16384);
    AudIn.Flush();
}

// ---------------------------------------------------------------------------------------------
// Deliveries

TEST_F(AudioInTest, WholeBufferRequestsGetOneWholeBufferEach)
{
    SetCdFormat(AudIn, 44100, 1); // 176,400 bytes: the 11th buffer reaches past the limit
    AudIn.Init();
    std::vector<int32_t> Counts;
    const std::vector<uint8_t> All = ReadToEnd(16384, &Counts);
    EXPECT_EQ(Counts, std::vector<int32_t>(11, 16384));
    EXPECT_EQ(AudIn.Position, 11 * 16384);
    EXPECT_EQ(FirstPatternBreak(All), All.size());
    AudIn.Flush();
}

TEST_F(AudioInTest, FlatOutCardNeverRunsAheadOfTheReader)
{
    // The source queues back up to four buffers at every delivery; a card that filled them all
    // at once would leave more and more filled buffers waiting, without bound.
    SetCdFormat(AudIn, 44100, 20); // 216 buffers
    AudIn.Init();
    const std::vector<uint8_t> All = ReadToEnd(16384);
    AudIn.Flush();
    EXPECT_EQ(All.size(), 216u * 16384u);
    EXPECT_LE(Card->PeakHeldBySource(), 8);
}

TEST_F(AudioInTest, SmallRequestsGetEachBufferInPiecesThatNeverSpanTwo)
{
    AudIn.RecTime = 4; // 32,000 bytes at the defaults
    AudIn.Init();
    std::vector<int32_t> Counts;
    const std::vector<uint8_t> All = ReadToEnd(5000, &Counts);
    // 16384 = 3 x 5000 + 1384: the rest of a buffer comes alone, then the next buffer begins.
    const std::vector<int32_t> Expected{ 5000, 5000, 5000, 1384, 5000, 5000, 5000, 1384 };
    EXPECT_EQ(Counts, Expected);
    EXPECT_EQ(FirstPatternBreak(All), All.size());
    AudIn.Flush();
}

TEST_F(AudioInTest, RunEndsWithTheFirstDeliveryThatReachesTheLimit)
{
    AudIn.RecTime = 1; // 8000 bytes at the defaults
    AudIn.Init();
    std::vector<int32_t> Counts;
    ReadToEnd(3000, &Counts);
    EXPECT_EQ(Counts, (std::vector<int32_t>{ 3000, 3000, 3000 })); // 9000 >= 8000, then 0
    EXPECT_EQ(AudIn.Position, 9000);
    uint8_t Block[16];
    EXPECT_EQ(AudIn.GetData(Block, 16), 0); // and stays ended
    AudIn.Flush();
    EXPECT_FALSE(AudIn.Busy);
    EXPECT_EQ(AudIn.Position, 9000); // Flush leaves the count of the run
}

TEST_F(AudioInTest, RequestOfNothingCopiesNothing)
{
    AudIn.Init();
    uint8_t Byte = 0xEE;
    EXPECT_EQ(AudIn.GetData(&Byte, 0), 0);
    EXPECT_EQ(AudIn.GetData(&Byte, -5), 0);
    EXPECT_EQ(Byte, 0xEE);
    EXPECT_EQ(AudIn.Position, 0);
    AudIn.Flush();
}

// ---------------------------------------------------------------------------------------------
// Run protocol

TEST_F(AudioInTest, DataOnlyWhileRunning)
{
    uint8_t Block[16];
    EXPECT_EQ(MessageOf([&] { AudIn.GetData(Block, 16); }), "The Stream is not opened");
    AudIn.Init();
    EXPECT_EQ(AudIn.GetData(Block, 16), 16);
    AudIn.Flush();
    EXPECT_EQ(MessageOf([&] { AudIn.GetData(Block, 16); }), "The Stream is not opened");
}

TEST_F(AudioInTest, SecondInitIsRefusedAndChangesNothing)
{
    AudIn.Init();
    uint8_t Block[100];
    AudIn.GetData(Block, 100);
    AudIn.RecTime = 1;
    EXPECT_EQ(MessageOf([&] { AudIn.Init(); }), "The component is buisy");
    EXPECT_EQ(AudIn.Size, 4800000);
    EXPECT_EQ(AudIn.Position, 100);
    EXPECT_EQ(Card->OpenedCount(), 1);
    EXPECT_EQ(AudIn.GetData(Block, 100), 100); // the run goes on from where it was
    AudIn.Flush();
    EXPECT_EQ(Card->OpenDevices(), 0);
}

TEST_F(AudioInTest, OpensTheChosenDeviceWithThePcmFormat)
{
    SetCdFormat(AudIn, 22025, 10800); // the window's stored form
    AudIn.SetBaseChannel(-1);
    AudIn.Init();
    const TPcmFormat Format = Card->LastOpenedFormat();
    EXPECT_EQ(Card->LastOpenedDevice(), -1);
    EXPECT_EQ(Format.FormatTag, 1);
    EXPECT_EQ(Format.Channels, 2);
    EXPECT_EQ(Format.SamplesPerSec, 22025u);
    EXPECT_EQ(Format.BlockAlign, 4);
    EXPECT_EQ(Format.AvgBytesPerSec, 88100u);
    EXPECT_EQ(Format.BitsPerSample, 16);
    AudIn.Flush();
}

TEST_F(AudioInTest, RunsAgainAfterFlushFromTheStart)
{
    for (int Run = 0; Run < 3; ++Run) {
        AudIn.RecTime = 2;
        AudIn.Init();
        EXPECT_EQ(AudIn.Position, 0);
        const std::vector<uint8_t> All = ReadToEnd(16384);
        EXPECT_EQ(All.size(), 16384u);
        AudIn.Flush();
    }
    EXPECT_EQ(Card->OpenedCount(), 3);
    EXPECT_EQ(Card->OpenDevices(), 0);
}

TEST_F(AudioInTest, DestructionReleasesAnUnflushedRun)
{
    {
        TAudioIn Forgotten(nullptr);
        Forgotten.Init();
        uint8_t Block[16384];
        Forgotten.GetData(Block, 16384);
    }
    EXPECT_EQ(Card->OpenDevices(), 0); // the buffers are freed too (the sanitizer runs check)
}

// The device's thread appends filled buffers while the sink's worker takes them.
TEST_F(AudioInTest, NotificationRacesAReaderOnAnotherThread)
{
    SetCdFormat(AudIn, 44100, 20); // 3,528,000 bytes: 216 buffers
    AudIn.Init();
    std::vector<uint8_t> All;
    std::thread Worker([&] {
        std::vector<uint8_t> Piece(7000);
        while (int32_t Count = AudIn.GetData(Piece.data(), 7000))
            All.insert(All.end(), Piece.begin(), Piece.begin() + Count);
        AudIn.Flush();
    });
    Worker.join();
    EXPECT_GE(All.size(), 3528000u);
    EXPECT_EQ(FirstPatternBreak(All), All.size());
    EXPECT_FALSE(AudIn.Busy);
}

// A real-time device records whether or not a buffer waits; what it records meanwhile is lost.
TEST_F(AudioInTest, RealTimeDeviceDropsWhatNoBufferWasQueuedFor)
{
    Card->SetPacing(TSimulatedPacing::RealTime);
    SetCdFormat(AudIn, 44100, 10);
    AudIn.Init(); // no buffer is queued until the first GetData
    ASSERT_TRUE(TestSupport::WaitUntil([&] { return Card->DroppedBuffers() >= 1; }));
    uint8_t Block[16384];
    EXPECT_EQ(AudIn.GetData(Block, 16384), 16384);
    // The delivery starts after the dropped span: the pattern goes on, shifted by it.
    EXPECT_NE(Block[0], PatternByte(0));
    AudIn.Flush();
}

} // namespace
