// The loopback device's filling of queued capture buffers from packets of the platform's size:
// buffers filled across packets in order, whole frames only, drops counted by stretch, a reset's
// return of partly filled buffers, and a driver that recycles buffers while packets come.
#include "CaptureFiller.h"

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>
#include <vector>

namespace {

constexpr uint32_t FrameBytes = 4;

// Buffers with their own data blocks, and the ones the filler has returned, in order.
struct TBuffers {
    explicit TBuffers(size_t Count, uint32_t Length)
        : Blocks(Count, std::vector<uint8_t>(Length))
        , Headers(Count)
    {
        for (size_t N = 0; N < Count; ++N) {
            Headers[N].Data = Blocks[N].data();
            Headers[N].BufferLength = Length;
        }
    }

    static void Returned(void* Instance, TWaveInMessage Message, TWaveHeader* Header)
    {
        auto* Self = static_cast<TBuffers*>(Instance);
        ASSERT_EQ(Message, wimData);
        ASSERT_TRUE(Header->Flags & wbDone);
        std::lock_guard Lock(Self->Mutex);
        Self->Back.push_back(Header);
        Self->Came.notify_all();
    }

    void Queue(TCaptureFiller& Filler, TWaveHeader& Header)
    {
        Header.Flags = wbPrepared;
        CheckAddBuffer(Header);
        MarkQueued(Header);
        Filler.Add(Header);
    }

    std::vector<std::vector<uint8_t>> Blocks;
    std::vector<TWaveHeader> Headers;
    std::mutex Mutex;
    std::condition_variable Came;
    std::deque<TWaveHeader*> Back;
};

// Frames numbered First, First + 1, ...: each frame holds its number.
std::vector<uint8_t> Numbered(uint32_t First, uint32_t Frames)
{
    std::vector<uint8_t> Bytes(size_t{ Frames } * FrameBytes);
    for (uint32_t N = 0; N < Frames; ++N) {
        const uint32_t Number = First + N;
        std::memcpy(&Bytes[size_t{ N } * FrameBytes], &Number, FrameBytes);
    }
    return Bytes;
}

std::vector<uint32_t> NumbersIn(const TWaveHeader& Header)
{
    std::vector<uint32_t> Numbers(Header.BytesRecorded / FrameBytes);
    // A buffer can come back empty; memcpy takes no null pointer, even for no bytes.
    if (!Numbers.empty())
        std::memcpy(Numbers.data(), Header.Data, Numbers.size() * FrameBytes);
    return Numbers;
}

TEST(CaptureFiller, FillsTheBuffersInOrderAcrossPacketsWithWholeFramesOnly)
{
    // 18 bytes: room for four whole frames and half of one, which stays empty.
    TBuffers Buffers(3, 18);
    TCaptureFiller Filler(&TBuffers::Returned, &Buffers, FrameBytes);
    for (TWaveHeader& Header : Buffers.Headers)
        Buffers.Queue(Filler, Header);
    for (uint32_t First : { 0u, 3u, 6u })
        Filler.Deliver(Numbered(First, 3).data(), 3);
    ASSERT_EQ(Buffers.Back.size(), 2u);
    EXPECT_EQ(Buffers.Back[0], &Buffers.Headers[0]);
    EXPECT_EQ(NumbersIn(*Buffers.Back[0]), (std::vector<uint32_t>{ 0, 1, 2, 3 }));
    EXPECT_EQ(NumbersIn(*Buffers.Back[1]), (std::vector<uint32_t>{ 4, 5, 6, 7 }));
    EXPECT_EQ(Buffers.Back[1]->BytesRecorded, 16u);
    EXPECT_EQ(Filler.Queued(), 1u);

    // A reset returns the partly filled buffer with what it holds.
    Filler.ReturnAll();
    ASSERT_EQ(Buffers.Back.size(), 3u);
    EXPECT_EQ(NumbersIn(*Buffers.Back[2]), (std::vector<uint32_t>{ 8 }));
    EXPECT_EQ(Filler.Queued(), 0u);
    EXPECT_EQ(Filler.Counters().Dropouts, 0u);
}

TEST(CaptureFiller, SoundWithoutAQueuedBufferIsDroppedAndCountedOncePerStretch)
{
    TBuffers Buffers(2, 16);
    TCaptureFiller Filler(&TBuffers::Returned, &Buffers, FrameBytes);
    Filler.Deliver(Numbered(0, 5).data(), 5);
    Filler.Deliver(Numbered(5, 2).data(), 2);
    // A packet that fills the one queued buffer and goes on past it.
    Buffers.Queue(Filler, Buffers.Headers[0]);
    Filler.Deliver(Numbered(7, 6).data(), 6);
    ASSERT_EQ(Buffers.Back.size(), 1u);
    EXPECT_EQ(NumbersIn(*Buffers.Back[0]), (std::vector<uint32_t>{ 7, 8, 9, 10 }));
    TWaveInCounters Counters = Filler.Counters();
    EXPECT_EQ(Counters.Dropouts, 2u);
    EXPECT_EQ(Counters.DroppedFrames, 9u);
    EXPECT_EQ(Counters.LostFrames, 9u);
    // The platform's own loss is an overrun with the frames it tells.
    Filler.Lost(100);
    Counters = Filler.Counters();
    EXPECT_EQ(Counters.Overruns, 1u);
    EXPECT_EQ(Counters.Dropouts, 3u);
    EXPECT_EQ(Counters.LostFrames, 109u);
}

TEST(CaptureFiller, RefusesMoreBuffersThanItHolds)
{
    TBuffers Buffers(TCaptureFiller::Capacity + 1, 16);
    TCaptureFiller Filler(&TBuffers::Returned, &Buffers, FrameBytes);
    for (size_t N = 0; N < TCaptureFiller::Capacity; ++N)
        Buffers.Queue(Filler, Buffers.Headers[N]);
    try {
        Buffers.Queue(Filler, Buffers.Headers.back());
        ADD_FAILURE() << "a buffer past the capacity was taken";
    } catch (const EWaveDeviceError& E) {
        EXPECT_EQ(std::string(E.what()), "More than 64 wave headers are queued at once");
    }
    EXPECT_EQ(Filler.Queued(), TCaptureFiller::Capacity);
}

TEST(CaptureFiller, ADriverRecyclingBuffersLosesNoFrameUncounted)
{
    // The device's thread delivers numbered packets as fast as it can while the driver takes each
    // returned buffer and queues it again: every frame is either in a returned buffer, in order,
    // or counted as dropped.
    constexpr uint32_t Packets = 4000, PacketFrames = 7;
    TBuffers Buffers(4, 64);
    TCaptureFiller Filler(&TBuffers::Returned, &Buffers, FrameBytes);
    for (TWaveHeader& Header : Buffers.Headers)
        Buffers.Queue(Filler, Header);
    std::atomic<bool> Delivered{ false };
    std::thread Device([&] {
        for (uint32_t N = 0; N < Packets; ++N)
            Filler.Deliver(Numbered(N * PacketFrames, PacketFrames).data(), PacketFrames);
        Filler.ReturnAll();
        Delivered = true;
    });
    std::vector<uint32_t> Received;
    for (;;) {
        std::unique_lock Lock(Buffers.Mutex);
        ASSERT_TRUE(Buffers.Came.wait_for(
            Lock, std::chrono::seconds(30), [&] { return !Buffers.Back.empty() || Delivered; }));
        if (Buffers.Back.empty())
            break;
        TWaveHeader* Header = Buffers.Back.front();
        Buffers.Back.pop_front();
        Lock.unlock();
        const std::vector<uint32_t> Numbers = NumbersIn(*Header);
        Received.insert(Received.end(), Numbers.begin(), Numbers.end());
        if (!Delivered)
            Buffers.Queue(Filler, *Header);
    }
    Device.join();
    // A buffer queued after the last return stays with the filler.
    Filler.ReturnAll();
    for (TWaveHeader* Header : Buffers.Back) {
        const std::vector<uint32_t> Numbers = NumbersIn(*Header);
        Received.insert(Received.end(), Numbers.begin(), Numbers.end());
    }
    for (size_t N = 1; N < Received.size(); ++N)
        ASSERT_LT(Received[N - 1], Received[N]) << "frame " << N;
    EXPECT_EQ(Received.size() + Filler.Counters().DroppedFrames, size_t{ Packets } * PacketFrames);
}

} // namespace
