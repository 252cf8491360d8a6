// The capture source's buffer pool: sized at a run's start, kept for the next runs, recycled
// block by block, and the bound it sets on what a reader that falls behind makes the source hold;
// and the hand-off of each filled buffer, whose bytes go to the reader straight from it.
#include "AudioTestSupport.h"
#include "TestSupport.h"

#include <functional>
#include <gtest/gtest.h>
#include <map>
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
    // Instant devices: which buffer, counted from 0 in the order of filling, each header holds.
    std::map<const TWaveHeader*, uint64_t> Filling;
    // Called with each header that the source releases, before the release.
    std::function<void(const TWaveHeader&)> OnRelease;
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
        if (FWatch.OnRelease)
            FWatch.OnRelease(Header);
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
        FWatch.Filling[&Header] = FFilled / Header.BufferLength;
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

// ---------------------------------------------------------------------------------------------
// The hand-off: the reader's bytes come straight out of the filled buffer, so the buffer must not
// go back to the device before its last byte has been handed out, and should go back right then.
// The instant card refills a buffer the moment it is queued: one queued too early would show in
// the pattern.

TEST_F(AudioInPoolTest, ABufferGoesBackRightAfterItsLastByteWasHandedOut)
{
    Backend->Instant = true;
    SetCdFormat(AudIn, 44100, 20);
    std::vector<uint64_t> ReleasedAt; // the bytes delivered when buffer n was released
    Backend->Watch.OnRelease = [&](const TWaveHeader& Header) {
        const uint64_t Filling = Backend->Watch.Filling.at(&Header);
        ASSERT_EQ(ReleasedAt.size(), Filling) << "buffers released out of order";
        ReleasedAt.push_back(static_cast<uint64_t>(AudIn.Position.load()));
    };
    AudIn.Init();
    std::vector<uint8_t> All;
    std::vector<uint8_t> Piece(40000);
    // Pieces smaller than a buffer, then requests larger than what is left of it: a delivery
    // never reaches into the next buffer.
    std::vector<int32_t> Counts;
    for (int32_t Request : { 5000, 5000, 5000, 5000, 5000, 40000, 40000, 16384, 1, 16383 }) {
        const int32_t Count = AudIn.GetData(Piece.data(), Request);
        Counts.push_back(Count);
        All.insert(All.end(), Piece.begin(), Piece.begin() + Count);
    }
    const std::vector<int32_t> Expected{ 5000, 5000, 5000, 1384, 5000, 11384, 16384, 16384, 1,
        16383 };
    EXPECT_EQ(Counts, Expected);
    for (int N = 0; N < 40; ++N) {
        const int32_t Count = AudIn.GetData(Piece.data(), 7000);
        All.insert(All.end(), Piece.begin(), Piece.begin() + Count);
    }
    EXPECT_EQ(FirstPatternBreak(All), All.size());
    ASSERT_GE(ReleasedAt.size(), 10u);
    for (size_t N = 0; N < ReleasedAt.size(); ++N)
        EXPECT_EQ(ReleasedAt[N], (N + 1) * 16384) << "buffer " << N;
    Backend->Watch.OnRelease = nullptr;
    AudIn.Flush();
    EXPECT_EQ(Backend->Watch.Held, 0);
}

// What is left of a buffer when a run ends is given up: the buffer goes back to the pool, and
// the next run starts with a buffer of its own.
TEST_F(AudioInPoolTest, ARunEndedMidBufferReleasesItAndTheNextRunStartsAfresh)
{
    SetCdFormat(AudIn, 44100, 20);
    std::vector<uint8_t> Piece(16384);
    AudIn.Init();
    ASSERT_EQ(AudIn.GetData(Piece.data(), 5000), 5000);
    AudIn.Flush();
    EXPECT_EQ(Backend->Watch.Held, 0);
    EXPECT_EQ(Card->OpenDevices(), 0);

    AudIn.Init(); // a new device records its sound from the start again
    ASSERT_EQ(AudIn.GetData(Piece.data(), 16384), 16384);
    EXPECT_EQ(FirstPatternBreak(Piece), Piece.size());
    ASSERT_EQ(AudIn.GetData(Piece.data(), 3000), 3000);
    AudIn.Flush();
    EXPECT_EQ(Backend->Watch.Held, 0);

    {
        TAudioIn Forgotten(nullptr);
        SetCdFormat(Forgotten, 44100, 20);
        Forgotten.Init();
        ASSERT_EQ(Forgotten.GetData(Piece.data(), 100), 100);
    }
    EXPECT_EQ(Backend->Watch.Held, 0);
    EXPECT_EQ(Card->OpenDevices(), 0);
}
