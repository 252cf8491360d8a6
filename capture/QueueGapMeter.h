// Measures the sound that a device loses while none of its buffers is queued, for a backend
// whose platform records only into queued buffers and says nothing of what it drops (wave-in).
//
// The device tells the meter when it starts and stops, when it queues a buffer and when it
// returns one. When the last queued buffer comes back while the device records, the sound goes
// nowhere until the next buffer is queued: that stretch is one dropout, and its frames are its
// time at the device's rate. A device that runs out of buffers while stopped, or before its first
// buffer, loses nothing: it does not record.
//
// Threads: Returned runs on the platform's notification thread, the others on the thread that
// drives the device; a small lock keeps them apart. Counters may be read on any thread.
#pragma once

#include "WaveDevice.h"

#include <chrono>
#include <cstdint>
#include <mutex>

class TQueueGapMeter {
public:
    using TClock = std::chrono::steady_clock;

    explicit TQueueGapMeter(uint32_t SamplesPerSec);

    void Started();
    // Stops counting until the next Start: buffers returned by a reset are no loss.
    void Stopped();
    // A buffer is queued at Now.
    void Queued(TClock::time_point Now);
    // A buffer counted by Queued was refused by the platform after all.
    void Withdrawn();
    // The device has returned a buffer at Now.
    void Returned(TClock::time_point Now);

    // Dropouts and LostFrames of TWaveInCounters; the other fields are 0.
    TWaveInCounters Counters() const;

private:
    const uint32_t FRate;
    mutable std::mutex FMutex; // guards everything below
    bool FRecording = false;
    int32_t FQueued = 0;
    bool FStarving = false;
    TClock::time_point FStarvedSince{};
    uint64_t FDropouts = 0;
    uint64_t FLostFrames = 0;
};
