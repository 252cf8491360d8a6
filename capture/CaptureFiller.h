// Fills the capture buffers that a source has queued with a device whose platform hands the sound
// over in packets of the platform's own size (the loopback capture of what the computer plays),
// rather than recording into the buffers itself.
//
// The device's thread delivers each converted packet; the filler copies it into the queued
// buffers in the order they were added, returns each one that becomes full through the device's
// notification, and goes on with the next. Sound that comes while no buffer is queued has nowhere
// to go: it is dropped and counted, one dropout per stretch. A loss that the platform reports
// (its own buffer overflowed) is counted as an overrun with the frames it says were lost.
//
// Threads: Add on the thread that drives the device; Deliver, Lost, ReturnAll and Fail on the
// device's thread (ReturnAll also on the driving thread once the device's thread has ended);
// Counters and Queued on any thread. The notification is called without the filler's lock held, so
// that it may take the source's lock while the source, holding that lock, adds a buffer. No
// allocation after construction.
#pragma once

#include "AudioSync.h"
#include "WaveDevice.h"

#include <array>
#include <cstdint>
#include <mutex>

class TCaptureFiller {
public:
    // More buffers than a source ever keeps queued with one device.
    static constexpr size_t Capacity = 64;

    TCaptureFiller(TWaveInCallback Callback, void* Instance, uint32_t FrameBytes);

    // Queues Header (checked and marked queued by the caller) behind the others. Raises
    // EWaveDeviceError when Capacity buffers are queued already. Does not block.
    void Add(TWaveHeader& Header);
    // Copies Frames frames at Bytes into the queued buffers, returning each that fills up.
    void Deliver(const uint8_t* Bytes, uint32_t Frames);
    // The platform has lost Frames frames (at the output's rate) before the next delivery.
    void Lost(uint64_t Frames);
    // Returns every queued buffer with what it holds so far (a reset's return). A stretch of
    // dropped sound ends here.
    void ReturnAll();
    // The device has failed and delivers no more: tells the source (wimError).
    void Fail();

    TWaveInCounters Counters() const;
    size_t Queued() const;

private:
    TWaveHeader* PopFront();

    const TWaveInCallback FCallback;
    void* const FInstance;
    const uint32_t FFrameBytes;
    mutable TAudioMutex FMutex; // guards everything below
    std::array<TWaveHeader*, Capacity> FRing{};
    size_t FHead = 0;
    size_t FCount = 0;
    bool FDropping = false;
    TWaveInCounters FCounters;
};
