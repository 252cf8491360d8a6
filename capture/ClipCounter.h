// Counts the times a recording's input reaches full scale, for a clipping warning.
//
// A sample is at full scale when it is within one step of the largest value its size holds:
// a 16-bit sample at or beyond +-32766 (so -32767 and -32768 too), an 8-bit one (unsigned) at
// 0, 1, 254 or 255. Every sample is looked at, of either channel, not the mix of a frame (a
// clipped left channel is clipped whatever the right one does). One time is a stretch of sound
// with full-scale samples that no tenth of a second without any interrupts, taken in 64-frame
// blocks: a loud passage counts once, not once per peak of its waveform.
//
// Threads: Start and Measure on the thread that reads the sound (the sink's worker); Count on
// any thread.
#pragma once

#include "SpectrumLevels.h"

#include <atomic>
#include <cstdint>

// True when any sample of the Frames frames at Bytes is at full scale.
bool ReachesFullScale(TPcmLayout Layout, const uint8_t* Bytes, int32_t Frames);

class TClipCounter {
public:
    static constexpr int32_t BlockFrames = 64;

    // A run starts: nothing counted, and the first full-scale sample starts a new time.
    void Start(int32_t SampleRate);
    // Counts the full-scale stretches in the Count bytes of one delivery.
    void Measure(TPcmLayout Layout, const uint8_t* Bytes, int32_t Count);
    // Times counted since Start.
    int64_t Count() const { return FCount.load(); }

private:
    std::atomic<int64_t> FCount{ 0 };
    // Frames since the last full-scale block; at or past FQuietSpan the next one is a new time.
    int64_t FQuietFrames = 0;
    int64_t FQuietSpan = 0;
};
