// A recording in real time with a pause in the middle, as the window makes one: the reader
// stops, the source pauses, and both go on after the pause. For the pause tests of the real
// backends, which hear the test sound server's sweep (SweepClock.h).
#pragma once

#include "ACS_Audio.h"
#include "SweepClock.h"

#include <chrono>
#include <cstring>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace PausedRecording {

using TClock = std::chrono::steady_clock;

// A call acted somewhere between Before and After.
struct TCallTime {
    TClock::time_point Before;
    TClock::time_point After;
};

template <typename TCall> TCallTime Timed(TCall&& Call)
{
    TCallTime Time{ TClock::now(), {} };
    Call();
    Time.After = TClock::now();
    return Time;
}

inline double Seconds(TClock::duration Time)
{
    return std::chrono::duration<double>(Time).count();
}

struct TRecording {
    std::vector<int16_t> Samples; // 16-bit stereo
    TCallTime Pause;
    TCallTime Resume;
};

// Reads whole deliveries of a started 16-bit stereo source until Bytes have come; Keep adds them
// to Into.
inline void ReadBytes(TAudioIn& AudIn, size_t Bytes, std::vector<int16_t>* Into)
{
    std::vector<uint8_t> Block(WaveBufferLength);
    for (size_t Read = 0; Read < Bytes;) {
        const int32_t Count = AudIn.GetData(Block.data(), WaveBufferLength);
        ASSERT_GT(Count, 0);
        Read += size_t(Count);
        if (Into) {
            const size_t At = Into->size();
            Into->resize(At + size_t(Count) / 2);
            std::memcpy(Into->data() + At, Block.data(), size_t(Count) / 2 * 2);
        }
    }
}

// Half a second to let the sound server's stream settle, then Around of sound, a pause of
// PauseLength, and Around of sound again.
inline TRecording RecordAcrossAPause(
    TAudioIn& AudIn, std::chrono::milliseconds Around, std::chrono::milliseconds PauseLength)
{
    const size_t BytesPerSecond = size_t(AudIn.GetSampleRate()) * 4;
    TRecording Recording;
    ReadBytes(AudIn, BytesPerSecond / 2, nullptr);
    const auto AroundBytes = size_t(double(BytesPerSecond) * Seconds(Around));
    ReadBytes(AudIn, AroundBytes, &Recording.Samples);
    Recording.Pause = Timed([&] { AudIn.Pause(); });
    // The pause under test: the reader takes nothing meanwhile, as the sink's worker.
    std::this_thread::sleep_for(PauseLength);
    Recording.Resume = Timed([&] { AudIn.Resume(); });
    ReadBytes(AudIn, AroundBytes, &Recording.Samples);
    return Recording;
}

// At the seam the recording jumps by the sweep that the device did not hear between its stop,
// during the pause call, and its start, during the resume call; the sound server and the
// device's buffering move either end by less than Buffers capture buffers' time.
inline void ExpectThePauseLeftOut(const TRecording& Recording, int32_t Rate, int Buffers = 1)
{
    const std::optional<double> Jump = SweepClock::SeamJump(Recording.Samples, Rate);
    ASSERT_TRUE(Jump.has_value()) << "too little of the sweep was recorded";
    const double Tolerance = Buffers * double(WaveBufferLength) / (double(Rate) * 4);
    EXPECT_GE(*Jump, Seconds(Recording.Resume.Before - Recording.Pause.After) - Tolerance);
    EXPECT_LE(*Jump, Seconds(Recording.Resume.After - Recording.Pause.Before) + Tolerance);
}

} // namespace PausedRecording
