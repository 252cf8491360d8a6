// The level indicator's analysis as it was first built, block by block with the spectrum routines
// in extended precision: the reference that the fast analysis must match. It keeps its own 32
// accumulators and folds deliveries into them as the indicator does.
#pragma once

#include "ACS_Procs.h"

#include <array>
#include <cmath>
#include <cstdint>

class TReferenceLevels {
public:
    static constexpr int32_t LevelCount = 32;
    static constexpr int32_t BlockFrames = 64;
    using TLevels = std::array<double, LevelCount>;

    TReferenceLevels() { FillHannWindow(FWindow, 1024, true); }

    // One delivery of Count bytes, read as the indicator reads its input's format.
    void Deliver(int32_t Bits, int32_t Channels, const uint8_t* Bytes, int32_t Count)
    {
        const bool EightBit = Bits == 8;
        const bool Mono = Channels == 1;
        const uint32_t Shift = (EightBit ? 0 : 1) + (Mono ? 0 : 1);
        const int32_t Blocks
            = static_cast<int32_t>(static_cast<uint32_t>(Count) >> Shift) / BlockFrames;
        if (Blocks == 0)
            return;
        for (int32_t Block = 0; Block < Blocks; ++Block) {
            double Samples[BlockFrames];
            for (int32_t K = 0; K < BlockFrames; ++K) {
                const size_t G = static_cast<size_t>(Block) * BlockFrames + K;
                if (EightBit && Mono)
                    Samples[K] = Bytes[G];
                else if (EightBit)
                    Samples[K] = (Bytes[2 * G] + Bytes[2 * G + 1]) / 2.0;
                else if (Mono)
                    Samples[K] = Sample16(Bytes + 2 * G);
                else
                    Samples[K] = (Sample16(Bytes + 4 * G) + Sample16(Bytes + 4 * G + 2)) / 2.0;
            }
            ApplyWindow(FWindow, Samples, BlockFrames);
            TComplexValue Spectrum[BlockFrames];
            for (int32_t K = 0; K < BlockFrames; ++K)
                Spectrum[K] = { Samples[K], 0.0 };
            FourierTransform(Spectrum, BlockFrames, 1);
            double Levels[BlockFrames];
            LogMagnitudes(Spectrum, Levels, BlockFrames, 0);
            bool Fault = false;
            for (int32_t K = 0; K < LevelCount; ++K) {
                FAccumulators[K] += Levels[K];
                Fault = Fault || !std::isfinite(FAccumulators[K]);
            }
            if (Fault)
                FAccumulators.fill(0.0);
        }
        for (double& Accumulator : FAccumulators)
            Accumulator /= Blocks;
    }

    // The values the indicator's TakeLevels gives, then cleared.
    TLevels Take()
    {
        TLevels Values;
        for (int32_t K = 0; K < LevelCount; ++K)
            Values[K] = FAccumulators[K] * 20.0;
        FAccumulators.fill(0.0);
        return Values;
    }

private:
    static int32_t Sample16(const uint8_t* Bytes)
    {
        return static_cast<int16_t>(static_cast<uint16_t>(Bytes[0] | (Bytes[1] << 8)));
    }

    double FWindow[1024];
    TLevels FAccumulators{};
};
