// What an open input device has lost (TWaveInCounters), counted by the device's own thread and
// read on any thread without a lock.
//
// A loss adds its frames before it counts its dropout, and a reader takes the dropouts before
// the frames: a reader that sees a dropout then also sees the frames it lost (it may see frames
// of a dropout not yet counted, never a dropout without its frames).
#pragma once

#include "WaveDevice.h"

#include <atomic>
#include <cstdint>

class TLossCounters {
public:
    // Frames recorded while no buffer was queued; NewDropout when they begin a stretch of loss.
    // The device's thread.
    void Dropped(uint64_t Frames, bool NewDropout)
    {
        FDroppedFrames += Frames;
        Lost(Frames, NewDropout);
    }

    // An overrun of the platform's ring that lost Frames. The device's thread.
    void Overrun(uint64_t Frames)
    {
        ++FOverruns;
        Lost(Frames, true);
    }

    // Frames lost otherwise (sound the device skipped). The device's thread.
    void Lost(uint64_t Frames, bool NewDropout)
    {
        FLostFrames += Frames;
        if (NewDropout)
            ++FDropouts;
    }

    // Any thread.
    TWaveInCounters Read() const
    {
        TWaveInCounters Counters;
        Counters.Dropouts = FDropouts.load();
        Counters.Overruns = FOverruns.load();
        Counters.DroppedFrames = FDroppedFrames.load();
        Counters.LostFrames = FLostFrames.load();
        return Counters;
    }

private:
    std::atomic<uint64_t> FDroppedFrames{ 0 };
    std::atomic<uint64_t> FOverruns{ 0 };
    std::atomic<uint64_t> FDropouts{ 0 };
    std::atomic<uint64_t> FLostFrames{ 0 };
};
