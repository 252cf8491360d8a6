// The benchmark's sound: pink noise mixed with an exponential sine sweep, 16-bit stereo PCM in
// the wave-in layout, generated in memory from a fixed seed so that every run encodes the same
// bytes. Any thread; allocates the whole signal at once.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

struct TBenchPcm {
    int32_t SampleRate = 0;
    int32_t Seconds = 0;
    // Interleaved little-endian 16-bit frames, left first.
    std::shared_ptr<const std::vector<uint8_t>> Bytes;

    int64_t Frames() const { return static_cast<int64_t>(Bytes->size() / FrameBytes); }
    static constexpr int32_t FrameBytes = 4;
};

// Seconds of sound at SampleRate: independent pink noise on each channel at about -14 dBFS RMS,
// and the same sweep on both, from 20 Hz to 20 kHz (or 0.45 of the sample rate, whichever is
// lower) at 0.35 of full scale.
TBenchPcm MakeBenchPcm(int32_t SampleRate, int32_t Seconds);
