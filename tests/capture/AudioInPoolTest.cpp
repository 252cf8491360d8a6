// The capture source's buffer pool: sized at a run's start, kept for the next runs, recycled
// block by block, and the bound it sets on what a reader that falls behind makes the source hold.
#include "AudioTestSupport.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <set>
#include <vector>

namespace {

using namespace AudioTestSupport;

// What the source did with the buffers it handed to devices. The source's thread only.
struct TBufferWatch {
    std::set<const TWaveHeader*> Seen;
    int Held = 0; // prepared and not yet unprepared
    int PeakHeld = 0;
    int Added = 0;
};

// Passes everything to a simulated device and watches the buffers; with Instant, it fills each
// buffer with the pattern and returns it as soon as it is added, like a card whose reader has
// fallen far behind.
class TWatchedDevice : public TWaveInDevice {
public:
    TWatchedDevice(std::unique_ptr<TWaveInDevice> Inner, TBufferWatch& Watch, bool Instant,
        TWaveInCallback Callback, void* Instance)
        : FInner(std::move(Inner))
        , FWatch(Watch)
        , FInstant(Instant)
        , FCallback(Callback)
        , FInstance(Instance)
    {
    }
    void Prepare(TWaveHeader& Header) override
    {
        FInner->Prepare(Header);
        FWatch.Seen.insert(&Header);
        FWatch.PeakHeld = std::max(FWatch.PeakHeld, ++FWatch.Held);
    }
    void Unprepare(TWaveHeader& Header) override
    {
        FInner->Unprepare(Header);
        --FWatch.Held;
    }
    void AddBuffer(TWaveHeader& Header) override
    {
        ++FWatch.Added;
        if (!FInstant)
            return FInner->AddBuffer(Header);
        CheckAddBuffer(Header);
        MarkQueued(Header);
        for (uint32_t N = 0; N < Header.BufferLength; ++N)
            Header.Data[N] = PatternByte(FFilled + N);
        FFilled += Header.BufferLength;
        Header.BytesRecorded = Header.BufferLength;
        MarkDone(Header);
        FCallback(FInstance, wimData, &Header);
    }
    void Start() override { FInner->Start(); }
    void Reset() override { FInner->Reset(); }
    void Close() override { FInner->Close(); }
    std::string LastError() const override { return FInner->LastError(); }
    TWaveInCounters Counters() const override { return FInner->Counters(); }

private:
    std::unique_ptr<TWaveInDevice> FInner;
    TBufferWatch& FWatch;
    const bool FInstant;
    const TWaveInCallback FCallback;
    void* const FInstance;
    uint64_t FFilled = 0;
};

class TWatchingBackend : public TWaveBackend {
public:
    explicit TWatchingBackend(std::shared_ptr<TSimulatedWaveBackend> Card)
        : FCard(std::move(Card))
    {
    }
    int32_t OutputDeviceCount() override { return FCard->OutputDeviceCount(); }
    int32_t InputDeviceCount() override { return FCard->InputDeviceCount(); }
    TWaveCaps OutputCaps(int32_t Device) override { return FCard->OutputCaps(Device); }
    TWaveCaps InputCaps(int32_t Device) override { return FCard->InputCaps(Device); }
    std::unique_ptr<TWaveInDevice> OpenInput(
        int32_t Device, const TPcmFormat& Format, TWaveInCallback Callback, void* Instance) override
    {
        return std::make_unique<TWatchedDevice>(
            FCard->OpenInput(Device, Format, Callback, Instance), Watch, Instant, Callback,
            Instance);
    }

    TBufferWatch Watch;
    bool Instant = false;

private:
    std::shared_ptr<TSimulatedWaveBackend> FCard;
};

class AudioInPoolTest : public SimulatedCardTest {
protected:
    void SetUp() override
    {
        SimulatedCardTest::SetUp();
        UseWaveBackend(Backend); // kept by the unit, so it outlives the source
    }

    // Reads whole buffers to the end of the run, checks that the pattern came without a break,
    // and ends the run; returns the blocks read.
    int ReadRunToEnd()
    {
        std::vector<uint8_t> Block(16384);
        uint64_t Offset = 0;
        int Blocks = 0;
        AudIn.Init();
        while (int32_t Count = AudIn.GetData(Block.data(), 16384)) {
            Block.resize(static_cast<size_t>(Count));
            EXPECT_EQ(FirstPatternBreak(Block, Offset), Block.size()) << "block " << Blocks;
            Block.resize(16384);
            Offset += static_cast<uint64_t>(Count);
            ++Blocks;
        }
        AudIn.Flush();
        return Blocks;
    }

    std::shared_ptr<TWatchingBackend> Backend = std::make_shared<TWatchingBackend>(Card);
    TAudioIn AudIn{ nullptr };
};

} // namespace

TEST_F(AudioInPoolTest, PoolHoldsTheQueueAndAboutASecondOfSound)
{
    EXPECT_EQ(TAudioIn::PoolBuffers(CdFormat()), 4 + 11); // 176400 bytes a second
    TPcmFormat Slow;
    Slow.AvgBytesPerSec = 8000;
    EXPECT_EQ(TAudioIn::PoolBuffers(Slow), 4 + 4);
    Slow.AvgBytesPerSec = 0;
    EXPECT_EQ(TAudioIn::PoolBuffers(Slow), 4 + 4);
    TPcmFormat Fast;
    Fast.AvgBytesPerSec = 0xFFFFFFFFu; // a wrapped product must not make a huge pool
    EXPECT_EQ(TAudioIn::PoolBuffers(Fast), 4 + 64);
}

TEST_F(AudioInPoolTest, RunsAllocateThePoolOnceAndRecycleItsBuffersForEveryBlock)
{
    SetCdFormat(AudIn, 44100, 20);
    EXPECT_EQ(ReadRunToEnd(), 216);
    EXPECT_EQ(ReadRunToEnd(), 216);
    const int32_t Pool = TAudioIn::PoolBuffers(CdFormat());
    EXPECT_EQ(AudIn.BuffersAllocated(), Pool);
    EXPECT_LE(static_cast<int32_t>(Backend->Watch.Seen.size()), Pool);
    EXPECT_GT(Backend->Watch.Added, 2 * 216);
    EXPECT_EQ(Backend->Watch.Held, 0);

    // A run that needs fewer buffers takes them from the same pool; one that needs more
    // replaces it.
    SetCdFormat(AudIn, 22050, 20);
    ReadRunToEnd();
    EXPECT_EQ(AudIn.BuffersAllocated(), Pool);
    AudIn.InSampleRate = 96000;
    ReadRunToEnd();
    EXPECT_EQ(AudIn.BuffersAllocated(), Pool + 4 + 24);
    ASSERT_FALSE(HasFailure());
}

TEST_F(AudioInPoolTest, AReaderFarBehindTheCardHoldsNoMoreThanThePool)
{
    Backend->Instant = true;
    SetCdFormat(AudIn, 44100, 20);
    const int32_t Pool = TAudioIn::PoolBuffers(CdFormat());
    uint8_t Block[16384];
    AudIn.Init();
    // The card fills every buffer the moment it is queued: the source queues the whole pool
    // and then waits for its reader instead of taking more memory.
    ASSERT_EQ(AudIn.GetData(Block, 16384), 16384);
    EXPECT_EQ(Backend->Watch.Added, Pool);
    EXPECT_EQ(Backend->Watch.PeakHeld, Pool);
    // Each block read frees one buffer, which goes back to the card; nothing is lost or
    // reordered on the way.
    std::vector<uint8_t> Piece(16384);
    for (uint64_t Read = 1; Read < 200; ++Read) {
        ASSERT_EQ(AudIn.GetData(Piece.data(), 16384), 16384);
        ASSERT_EQ(FirstPatternBreak(Piece, Read * 16384), Piece.size()) << "block " << Read;
    }
    EXPECT_EQ(Backend->Watch.PeakHeld, Pool);
    EXPECT_EQ(static_cast<int32_t>(Backend->Watch.Seen.size()), Pool);
    EXPECT_EQ(Backend->Watch.Added, Pool + 199);
    AudIn.Flush();
    EXPECT_EQ(Backend->Watch.Held, 0);
    EXPECT_EQ(AudIn.BuffersAllocated(), Pool);
}
