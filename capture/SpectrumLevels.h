// The level indicator's per-block measurement, done fast: for each 64-frame block of a delivery,
// the frames mixed to one value, weighted with the window, transformed, and the floored base-10
// log-magnitudes of the lowest 32 bins, summed over the delivery's blocks.
//
// The result is the one the spectrum routines of ACS_Procs give block by block (window,
// 64-point complex transform scaled by 1/64, LogMagnitudes with offset 0), to rounding: the
// transform is a 32-point complex one over the block's even and odd frames with precomputed
// twiddle factors, done for several blocks side by side, and since a floored logarithm is
// log10(max(magnitude, 1)), the blocks' logarithms of one bin are summed as the logarithm of
// the product of their squared magnitudes, taken once per 32 blocks of a lane.
//
// An instance holds only tables that its constructor fills; SumBlockLevels keeps no state and
// allocates nothing, so one instance may be used by any number of threads at once.
#pragma once

#include <cstdint>

// How a delivery's bytes are read: 8-bit samples are unsigned, 16-bit ones signed
// little-endian; a stereo frame is the mean of its two samples.
enum class TPcmLayout : uint8_t { Mono8, Stereo8, Mono16, Stereo16 };

// Bytes of one frame of the layout.
int32_t FrameBytes(TPcmLayout Layout);

class TSpectrumLevels {
public:
    static constexpr int32_t BlockFrames = 64;
    static constexpr int32_t BinCount = 32; // the lowest half of the 64 bins

    // Window: at least BlockFrames weights, one per frame of a block.
    explicit TSpectrumLevels(const double* Window);

    // Sums[k] := the sum over Blocks blocks of 64 frames at Bytes of log10 |X_k|, floored at 0,
    // where X is the block's windowed transform scaled by 1/64; k = 0 .. BinCount - 1. Bytes
    // holds at least Blocks * 64 frames. Any thread.
    void SumBlockLevels(
        TPcmLayout Layout, const uint8_t* Bytes, int32_t Blocks, double* Sums) const;

private:
    // Blocks transformed side by side, one per lane of a 16-byte vector of the compiler's
    // vector type (GCC and Clang), so that every step is one vector operation on any x86-64
    // processor at any optimisation level. Vectors wider than the target's are split up slowly.
    static constexpr int32_t Lanes = 2;
    using TLane = double __attribute__((vector_size(Lanes * sizeof(double))));
    static constexpr int32_t HalfFrames = BlockFrames / 2; // points of the complex transform

    // A group's 32 complex points, in the order the transform stages work on them.
    struct TLaneData {
        TLane Re[HalfFrames];
        TLane Im[HalfFrames];
    };
    // The squared magnitudes of a group's bins, multiplied up lane by lane.
    struct TLaneProducts {
        TLane Value[BinCount];
    };

    template <TPcmLayout Layout>
    void SumLayout(const uint8_t* Bytes, int32_t Blocks, double* Sums) const;
    template <TPcmLayout Layout>
    void LoadGroup(const uint8_t* Bytes, int32_t FirstBlock, int32_t Count, TLaneData& Data) const;
    void Transform(TLaneData& Data) const;
    void MultiplyMagnitudes(const TLaneData& Data, TLaneProducts& Products) const;
    static void FoldProducts(TLaneProducts& Products, double* Sums);

    // Per frame, the window weight times the scale that the stereo mean, the transform's 1/64
    // and the halving of the even/odd split need; all of them powers of two, so exact.
    double FMonoWeights[BlockFrames];
    double FStereoWeights[BlockFrames];
    // Where frame pair n (frames 2n and 2n + 1) goes: n with its five bits reversed.
    uint8_t FSlot[HalfFrames];
    // Twiddles of the 32-point stages, e^(-2 pi i j / 32) for j = 0 .. 15, and of the split of
    // the 64 bins, e^(-2 pi i k / 64) for k = 0 .. 31.
    double FStageCos[HalfFrames / 2];
    double FStageSin[HalfFrames / 2];
    double FSplitCos[BinCount];
    double FSplitSin[BinCount];
};
