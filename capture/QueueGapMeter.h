// Measures the sound that a device loses while none of its buffers is queued, for a backend
// whose platform records only into queued buffers and says nothing of what it drops (wave-in).
//
// The device tells the meter when it starts and stops, when it queues a buffer and when it
// returns one. When the last queued buffer comes back while the device records, the sound goes
// nowhere until the next buffer is queued: that stretch is one dropout, and its frames are its
// time at the device's rate. A stretch still going on counts up to the moment the counters are
// read, and up to the stop when the device stops. A device that runs out of buffers while
// stopped, or before its first buffer, loses nothing: it does not record.
//
// Threads: Returned runs on the platform's notification thread, the others on the thread that
// drives the device; a small lock keeps them apart. Counters may be read on any thread.
#pragma once

#include "AudioSync.h"
#include "WaveDevice.h"

#include <chrono>
#include <cstdint>
#include <mutex>

class TQueueGapMeter {
public:
    using TClock = std::chrono::steady_clock;

    explicit TQueueGapMeter(uint32_t SamplesPerSec);

    void Started();
    // The device stops recording at Now: a stretch without a buffer ends there. Stops counting
    // until the next Start: buffers returned by a reset are no loss.
    void Stopped(TClock::time_point Now);
    // A buffer is queued at Now.
    void Queued(TClock::time_point Now);
    // A buffer counted by Queued was refused by the platform after all.
    void Withdrawn();
    // The device has returned a buffer at Now.
    void Returned(TClock::time_point Now);

    // Dropouts and LostFrames of TWaveInCounters at Now, with a stretch still going on; the
    // other fields are 0.
    TWaveInCounters Counters(TClock::time_point Now) const;

private:
    // Frames of the time from Since to Now at the device's rate; 0 when Now is not later.
    uint64_t FramesBetween(TClock::time_point Since, TClock::time_point Now) const;
    void EndGap(TClock::time_point Now);

    const uint32_t FRate;
    mutable TAudioMutex FMutex; // guards everything below
    bool FRecording = false;
    int32_t FQueued = 0;
    bool FStarving = false;
    TClock::time_point FStarvedSince{};
    uint64_t FDropouts = 0;
    uint64_t FLostFrames = 0;
};
