// What a stretch of recorded 16-bit stereo sound holds: the frequency and level of a tone in each
// channel, for the tests that record a private sound server's tones.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

struct TChannelMeasure {
    double Frequency = 0; // from the rising zero crossings
    double Rms = 0;
};

inline TChannelMeasure Measure(
    const std::vector<int16_t>& Samples, int Channel, std::size_t FirstFrame, int32_t Rate)
{
    const std::size_t Frames = Samples.size() / 2;
    double Sum = 0;
    int Crossings = 0;
    std::size_t FirstCrossing = 0, LastCrossing = 0;
    for (std::size_t F = FirstFrame; F < Frames; ++F) {
        const double Value = Samples[F * 2 + Channel];
        Sum += Value * Value;
        if (F > FirstFrame && Samples[(F - 1) * 2 + Channel] < 0 && Value >= 0) {
            if (Crossings++ == 0)
                FirstCrossing = F;
            LastCrossing = F;
        }
    }
    TChannelMeasure Result;
    if (Crossings > 1)
        Result.Frequency = (Crossings - 1) * double(Rate) / double(LastCrossing - FirstCrossing);
    Result.Rms = std::sqrt(Sum / double(Frames - FirstFrame));
    return Result;
}

// A tone of Hz (within 2 Hz) and Amplitude (within 1 dB), in both channels, over the sound from
// FirstFrame on; at least a quarter of a second of it.
inline void ExpectTone(const std::vector<int16_t>& Samples, std::size_t FirstFrame, int32_t Rate,
    double Hz, double Amplitude)
{
    ASSERT_GT(Samples.size() / 2, FirstFrame + Rate / 4) << "too little sound to measure";
    for (int Channel = 0; Channel < 2; ++Channel) {
        const TChannelMeasure Heard = Measure(Samples, Channel, FirstFrame, Rate);
        EXPECT_NEAR(Heard.Frequency, Hz, 2) << "channel " << Channel;
        EXPECT_NEAR(20 * std::log10(Heard.Rms / (Amplitude / std::sqrt(2.0))), 0, 1)
            << "channel " << Channel;
    }
}
