// The test sound server's sweep (tools/sound-server --sweep) as a clock: a sine whose frequency
// rises linearly from 200 Hz to 2200 Hz over 10 s and starts again, so that the frequency of a
// stretch of recorded sound tells when in the sweep's period it was heard. For the tests that
// check the seam a pause leaves in a recording, on every backend.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace SweepClock {

constexpr double Period = 10.0; // seconds
constexpr double LowHz = 200.0;
constexpr double RiseHzPerSecond = 200.0;

// The sweep's time in its period, minus the recording's own time, for Frames frames of 16-bit
// stereo sound from FirstFrame on: constant along a recording without a seam. Taken from the
// rising zero crossings of the left channel (the mean frequency between the first and the last
// is the sweep's at their middle); none for a stretch of silence.
inline std::optional<double> Offset(
    const std::vector<int16_t>& Samples, size_t FirstFrame, size_t Frames, int32_t Rate)
{
    std::vector<double> Crossings;
    for (size_t F = FirstFrame + 1; F < FirstFrame + Frames && F < Samples.size() / 2; ++F) {
        const double Before = Samples[(F - 1) * 2];
        const double At = Samples[F * 2];
        if (Before < 0 && At >= 0)
            Crossings.push_back(double(F - 1) + -Before / (At - Before));
    }
    if (Crossings.size() < 8)
        return std::nullopt;
    const double Span = (Crossings.back() - Crossings.front()) / Rate;
    const double Hz = double(Crossings.size() - 1) / Span;
    const double Middle = (Crossings.back() + Crossings.front()) / 2 / Rate;
    const double SweepTime = (Hz - LowHz) / RiseHzPerSecond;
    return std::fmod(SweepTime - Middle + 2 * Period, Period);
}

// The offset most of Offsets agree with, within Tolerance seconds, around the period.
inline double Agreed(const std::vector<double>& Offsets, double Tolerance)
{
    double Best = Offsets.front();
    size_t BestCount = 0;
    for (double Candidate : Offsets) {
        const size_t Count = std::count_if(Offsets.begin(), Offsets.end(), [&](double Other) {
            const double Apart = std::fabs(Other - Candidate);
            return std::min(Apart, Period - Apart) <= Tolerance;
        });
        if (Count > BestCount) {
            Best = Candidate;
            BestCount = Count;
        }
    }
    return Best;
}

// How much of the sweep a recording with one seam leaves out at the seam: the offset of its end
// minus that of its start, in 0..Period seconds. Measured over 50-ms windows, the first and
// last Windows of sound on either side (a window that holds the sweep's own restart, or the
// seam, is outvoted). None when either end has too little sound.
inline std::optional<double> SeamJump(const std::vector<int16_t>& Samples, int32_t Rate)
{
    constexpr size_t Windows = 7;
    const size_t Frames = size_t(Rate) / 20;
    std::vector<double> Offsets;
    for (size_t First = 0; First + Frames <= Samples.size() / 2; First += Frames)
        if (const std::optional<double> Found = Offset(Samples, First, Frames, Rate))
            Offsets.push_back(*Found);
    if (Offsets.size() < 2 * Windows)
        return std::nullopt;
    const double Tolerance = 0.005;
    const double Start = Agreed({ Offsets.begin(), Offsets.begin() + Windows }, Tolerance);
    const double End = Agreed({ Offsets.end() - Windows, Offsets.end() }, Tolerance);
    return std::fmod(End - Start + Period, Period);
}

} // namespace SweepClock
