// A test source that delivers generated PCM in scripted block sizes.
//
// The whole run's PCM is given up front (or the source runs without end, delivering silence);
// each GetData answers with at most the next scripted block size. Hooks let a test act on the
// worker thread after a read (for example Stop after one second of sound).
#pragma once

#include "ACS_Classes.h"

#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <numbers>
#include <stdexcept>
#include <vector>

// Interleaved 16-bit little-endian PCM: a sine of Frequency on every channel, channel c at
// Amplitudes[c] (the last amplitude repeats), or silence with amplitude 0.
inline std::vector<uint8_t> SinePcm(
    int SampleRate, int Channels, double Seconds, double Frequency, std::vector<double> Amplitudes)
{
    const auto Frames = static_cast<std::size_t>(std::lround(Seconds * SampleRate));
    std::vector<uint8_t> Pcm(Frames * Channels * 2);
    for (std::size_t Frame = 0; Frame < Frames; ++Frame) {
        const double Phase = 2 * std::numbers::pi * Frequency * Frame / SampleRate;
        for (int Channel = 0; Channel < Channels; ++Channel) {
            const double Amplitude
                = Amplitudes[std::min<std::size_t>(Channel, Amplitudes.size() - 1)];
            const auto Sample = static_cast<int16_t>(std::lround(Amplitude * std::sin(Phase)));
            const std::size_t At = (Frame * Channels + Channel) * 2;
            Pcm[At] = static_cast<uint8_t>(Sample & 0xFF);
            Pcm[At + 1] = static_cast<uint8_t>((Sample >> 8) & 0xFF);
        }
    }
    return Pcm;
}

class TScriptedSource : public TACSInput {
public:
    explicit TScriptedSource(TComponent* AOwner = nullptr)
        : TACSInput(AOwner)
    {
        Size = -1;
    }

    // Set before a run, on the test's thread.
    int32_t SampleRate = 44100;
    int32_t Channels = 2;
    int32_t BitsPerSample = 16;
    std::vector<uint8_t> Pcm;
    // Sizes of successive answers, cycled; empty means as much as asked for.
    std::vector<int32_t> BlockSizes;
    // Size is Pcm's length, or -1 (no planned total).
    bool PlannedSize = true;
    // Deliver silence without end instead of Pcm.
    bool Endless = false;
    bool InitRaises = false;
    // Worker thread, after each read that delivered bytes, with the bytes delivered so far.
    std::function<void(int64_t Delivered)> AfterRead;

    std::atomic<int> InitCount{ 0 };
    std::atomic<int> FlushCount{ 0 };

    int32_t GetBitsPerSample() override { return BitsPerSample; }
    int32_t GetChannels() override { return Channels; }
    int32_t GetSampleRate() override { return SampleRate; }

    void Init() override
    {
        ++InitCount;
        if (InitRaises)
            throw EACSException("The scripted source refuses to start");
        FDelivered = 0;
        FNextBlock = 0;
        Position = 0;
        Size = PlannedSize && !Endless ? static_cast<int32_t>(Pcm.size()) : -1;
        Busy = true;
    }

    void Flush() override
    {
        ++FlushCount;
        Busy = false;
    }

    int32_t GetData(void* Buffer, int32_t BufferSize) override
    {
        if (!Busy)
            throw EACSException("The Stream is not opened");
        int64_t Count = BufferSize;
        if (!BlockSizes.empty())
            Count = std::min<int64_t>(Count, BlockSizes[FNextBlock++ % BlockSizes.size()]);
        if (Endless) {
            std::memset(Buffer, 0, static_cast<std::size_t>(Count));
        } else {
            Count = std::min<int64_t>(Count, static_cast<int64_t>(Pcm.size()) - FDelivered);
            if (Count > 0)
                std::memcpy(Buffer, Pcm.data() + FDelivered, static_cast<std::size_t>(Count));
        }
        FDelivered += Count;
        Position = static_cast<int32_t>(Position + Count);
        if (Count > 0 && AfterRead)
            AfterRead(FDelivered);
        return static_cast<int32_t>(Count);
    }

private:
    int64_t FDelivered = 0;
    std::size_t FNextBlock = 0;
};
