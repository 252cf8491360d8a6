// The device over a packet source (the loopback capture's thread): packets converted into the
// queued buffers in order, a reset's return, the source's failures at the open and during the
// run, the gaps it reports, and the silence it records while no packet comes. A fake source
// stands for the platform; the test hands it packets and moves its clock.
#include "PacketCaptureDevice.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <gtest/gtest.h>
#include <mutex>
#include <vector>

namespace {

using namespace std::chrono_literals;
constexpr auto Bound = 10s;

// 16-bit stereo packets at 44100 Hz, handed over by the test; a failure to raise on demand.
class TFakeSource final : public TPacketSource {
public:
    struct TShared {
        std::mutex Mutex;
        std::condition_variable Changed;
        // Each packet's samples and the frames lost before it.
        std::deque<std::pair<std::vector<int16_t>, uint64_t>> Packets;
        std::vector<int16_t> Taken; // the packet lent out until Release
        uint64_t Position = 0;
        bool Started = false;
        int Resets = 0;
        int Released = 0;
        std::string Failure;
    };

    explicit TFakeSource(TShared& Shared)
        : FShared(Shared)
    {
    }
    TMixFormat Format() const override { return { 44100, 2, TSampleKind::Int16, 0 }; }
    uint32_t PacketCapacity() const override { return 441; }
    void Start() override
    {
        Set([&] { FShared.Started = true; });
    }
    void Stop() override
    {
        Set([&] { FShared.Started = false; });
    }
    void Reset() override
    {
        Set([&] { ++FShared.Resets; });
    }
    bool Next(TSoundPacket& Packet) override
    {
        std::lock_guard Lock(FShared.Mutex);
        if (!FShared.Failure.empty())
            throw EWaveDeviceError(FShared.Failure);
        if (FShared.Packets.empty())
            return false;
        const uint64_t Skip = FShared.Packets.front().second;
        FShared.Taken = std::move(FShared.Packets.front().first);
        FShared.Packets.pop_front();
        Packet.Discontinuity = Skip > 0;
        FShared.Position += Skip;
        Packet.Data = reinterpret_cast<const uint8_t*>(FShared.Taken.data());
        Packet.Frames = static_cast<uint32_t>(FShared.Taken.size() / 2);
        Packet.Position = FShared.Position;
        FShared.Position += Packet.Frames;
        return true;
    }
    void Release(const TSoundPacket&) override
    {
        Set([&] { ++FShared.Released; });
    }

private:
    template <typename F> void Set(F Change)
    {
        std::lock_guard Lock(FShared.Mutex);
        Change();
        FShared.Changed.notify_all();
    }
    TShared& FShared;
};

class PacketCaptureDevice : public testing::Test {
protected:
    static void Returned(void* Instance, TWaveInMessage Message, TWaveHeader* Header)
    {
        auto* Self = static_cast<PacketCaptureDevice*>(Instance);
        std::lock_guard Lock(Self->FMutex);
        if (Message == wimData)
            Self->FBack.push_back(Header);
        else
            ++Self->FFailures;
        Self->FCame.notify_all();
    }

    std::unique_ptr<TPacketCaptureDevice> Open(uint32_t Rate = 44100)
    {
        const TPcmFormat Format{ 1, 2, Rate, Rate * 4, 4, 16 };
        return std::make_unique<TPacketCaptureDevice>(
            [this] { return std::make_unique<TFakeSource>(Source); }, Format, &Returned, this,
            [this] { return Now.load(); });
    }

    void Queue(TWaveInDevice& Device, size_t Count)
    {
        Blocks.resize(Count, std::vector<uint8_t>(WaveBufferLength));
        Headers.resize(Count);
        for (size_t N = 0; N < Count; ++N) {
            Headers[N].Data = Blocks[N].data();
            Headers[N].BufferLength = WaveBufferLength;
            Device.Prepare(Headers[N]);
            Device.AddBuffer(Headers[N]);
        }
    }

    void Hand(std::vector<int16_t> Packet, uint64_t SkipBefore = 0)
    {
        std::lock_guard Lock(Source.Mutex);
        Source.Packets.emplace_back(std::move(Packet), SkipBefore);
    }

    bool AwaitStarted()
    {
        std::unique_lock Lock(Source.Mutex);
        return Source.Changed.wait_for(Lock, Bound, [&] { return Source.Started; });
    }

    // Until the device has released Count packets: it has taken their time by then.
    bool AwaitReleased(int Count)
    {
        std::unique_lock Lock(Source.Mutex);
        return Source.Changed.wait_for(Lock, Bound, [&] { return Source.Released >= Count; });
    }

    bool AwaitReturned(size_t Count)
    {
        std::unique_lock Lock(FMutex);
        return FCame.wait_for(Lock, Bound, [&] { return FBack.size() >= Count; });
    }

    std::vector<int16_t> ReturnedSamples()
    {
        std::lock_guard Lock(FMutex);
        std::vector<int16_t> Samples;
        for (const TWaveHeader* Header : FBack) {
            const auto* First = reinterpret_cast<const int16_t*>(Header->Data);
            Samples.insert(Samples.end(), First, First + Header->BytesRecorded / 2);
        }
        return Samples;
    }

    TFakeSource::TShared Source;
    std::atomic<TPacketCaptureDevice::TClock::time_point> Now{};
    std::vector<std::vector<uint8_t>> Blocks;
    std::vector<TWaveHeader> Headers;
    std::mutex FMutex;
    std::condition_variable FCame;
    std::vector<TWaveHeader*> FBack;
    int FFailures = 0;
};

// Frames numbered From, From + 1, ... in both channels.
std::vector<int16_t> Numbered(int From, int Frames)
{
    std::vector<int16_t> Samples;
    for (int N = From; N < From + Frames; ++N)
        Samples.insert(Samples.end(), { int16_t(N), int16_t(-N) });
    return Samples;
}

TEST_F(PacketCaptureDevice, FillsTheQueuedBuffersWithThePacketsInOrderAndReturnsTheRestAtReset)
{
    auto Device = Open();
    Queue(*Device, 3);
    Device->Start();
    ASSERT_TRUE(AwaitStarted());
    // 5000 frames in packets of 441 (the last one shorter): one buffer of 4096 frames fills.
    for (int From = 0; From < 5000; From += 441)
        Hand(Numbered(From, std::min(441, 5000 - From)));
    ASSERT_TRUE(AwaitReturned(1));
    Device->Reset();
    ASSERT_TRUE(AwaitReturned(3));
    EXPECT_EQ(Headers[0].BytesRecorded, WaveBufferLength);
    // At the same rate the sound passes unchanged; its last frame waits for a next packet.
    EXPECT_EQ(ReturnedSamples(), Numbered(0, 4999));
    EXPECT_EQ(Headers[2].BytesRecorded, 0u);
    EXPECT_EQ(Source.Resets, 1);
    EXPECT_FALSE(Source.Started);
    EXPECT_EQ(Device->Counters().Dropouts, 0u);
    Device->Close();
}

TEST_F(PacketCaptureDevice, RecordsTheSilenceOfTheTimeWithoutPackets)
{
    auto Device = Open(22050);
    Queue(*Device, 4);
    Device->Start();
    ASSERT_TRUE(AwaitStarted());
    // A second without a packet: its 44100 frames of silence make 22050 frames at 22050 Hz
    // (the position of the last falls before the last input frame, which waits). The four
    // queued buffers of 4096 frames fill; the rest has nowhere to go.
    Now = Now.load() + 1s;
    ASSERT_TRUE(AwaitReturned(4));
    Device->Reset();
    const std::vector<int16_t> Samples = ReturnedSamples();
    EXPECT_EQ(Samples.size(), 4u * 4096 * 2); // the four queued buffers, full
    EXPECT_EQ(std::count(Samples.begin(), Samples.end(), 0), std::ptrdiff_t(Samples.size()));
    const TWaveInCounters Counters = Device->Counters();
    EXPECT_EQ(Counters.Dropouts, 1u);
    EXPECT_EQ(Counters.DroppedFrames, 22050u - 4 * 4096);
}

TEST_F(PacketCaptureDevice, CountsTheGapsTheSourceReportsAsOverruns)
{
    auto Device = Open();
    Queue(*Device, 2);
    Device->Start();
    ASSERT_TRUE(AwaitStarted());
    Hand(Numbered(0, 441));
    Hand(Numbered(441, 441), 300);
    Hand(Numbered(882, 4000));
    ASSERT_TRUE(AwaitReturned(1));
    const TWaveInCounters Counters = Device->Counters();
    EXPECT_EQ(Counters.Overruns, 1u);
    EXPECT_EQ(Counters.Dropouts, 1u);
    EXPECT_EQ(Counters.LostFrames, 300u);
}

TEST_F(PacketCaptureDevice, AGapAfterRecordedSilenceIsNoLoss)
{
    auto Device = Open();
    Queue(*Device, 16);
    Device->Start();
    ASSERT_TRUE(AwaitStarted());
    Hand(Numbered(0, 441));
    ASSERT_TRUE(AwaitReleased(1));
    // Nothing plays for a second: the device records its silence. The next packet comes with a
    // gap in the source's position, which that silence has filled.
    Now = Now.load() + 1s;
    ASSERT_TRUE(AwaitReturned(10));
    Hand(Numbered(441, 441), 44100);
    Hand(Numbered(882, 441), 100);
    ASSERT_TRUE(AwaitReleased(3));
    Device->Reset();
    const TWaveInCounters Counters = Device->Counters();
    EXPECT_EQ(Counters.Overruns, 1u) << "only the gap between two packets is a loss";
    EXPECT_EQ(Counters.LostFrames, 100u);
}

TEST_F(PacketCaptureDevice, OpenFailuresAndRefusedFormatsRaiseTheirReason)
{
    const TPcmFormat Stereo{ 1, 2, 44100, 176400, 4, 16 };
    try {
        TPacketCaptureDevice Device(
            []() -> std::unique_ptr<TPacketSource> {
                throw EWaveDeviceError("the output does not offer loopback capture");
            },
            Stereo, &Returned, this);
        ADD_FAILURE() << "the device opened";
    } catch (const EWaveDeviceError& E) {
        EXPECT_EQ(std::string(E.what()), "the output does not offer loopback capture");
    }
    const TPcmFormat Mono{ 1, 1, 44100, 88200, 2, 16 };
    try {
        TPacketCaptureDevice Device(
            [this] { return std::make_unique<TFakeSource>(Source); }, Mono, &Returned, this);
        ADD_FAILURE() << "the device opened for mono";
    } catch (const EWaveDeviceError& E) {
        EXPECT_EQ(
            std::string(E.what()), "What the computer plays is recorded in 16-bit stereo only");
    }
}

TEST_F(PacketCaptureDevice, ASourceThatFailsDuringTheRunFailsTheDeviceWithItsReason)
{
    auto Device = Open();
    Queue(*Device, 2);
    Device->Start();
    ASSERT_TRUE(AwaitStarted());
    {
        std::lock_guard Lock(Source.Mutex);
        Source.Failure = "the output has gone";
    }
    {
        std::unique_lock Lock(FMutex);
        ASSERT_TRUE(FCame.wait_for(Lock, Bound, [&] { return FFailures > 0; }));
    }
    EXPECT_EQ(Device->LastError(), "the output has gone");
    // The buffers still come back, and the device closes.
    Device->Reset();
    ASSERT_TRUE(AwaitReturned(2));
    Device->Close();
}

} // namespace
