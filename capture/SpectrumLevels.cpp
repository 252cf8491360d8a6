#include "SpectrumLevels.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// Blocks per lane whose squared magnitudes are multiplied up before their logarithm is taken. A
// magnitude is at most the largest sample, 32768, times the window's mean weight (never above
// 1), so a lane's product of 32 squares stays below 2^960, inside a double's range.
constexpr int32_t FoldBlocks = 32;

int32_t Sample16(const uint8_t* Bytes)
{
    return static_cast<int16_t>(static_cast<uint16_t>(Bytes[0] | (Bytes[1] << 8)));
}

// A frame as the integer whose weight it takes: the sample, or the sum of the two samples
// (their mean's factor 1/2 is in the stereo weights).
template <TPcmLayout Layout> int32_t FrameValue(const uint8_t* Frame)
{
    if constexpr (Layout == TPcmLayout::Mono8)
        return Frame[0];
    else if constexpr (Layout == TPcmLayout::Stereo8)
        return Frame[0] + Frame[1];
    else if constexpr (Layout == TPcmLayout::Mono16)
        return Sample16(Frame);
    else
        return Sample16(Frame) + Sample16(Frame + 2);
}

constexpr bool IsStereo(TPcmLayout Layout)
{
    return Layout == TPcmLayout::Stereo8 || Layout == TPcmLayout::Stereo16;
}

uint8_t ReverseFiveBits(uint32_t N)
{
    uint32_t Reversed = 0;
    for (int Bit = 0; Bit < 5; ++Bit)
        Reversed |= ((N >> Bit) & 1u) << (4 - Bit);
    return static_cast<uint8_t>(Reversed);
}

} // namespace

int32_t FrameBytes(TPcmLayout Layout)
{
    switch (Layout) {
    case TPcmLayout::Mono8:
        return 1;
    case TPcmLayout::Stereo8:
    case TPcmLayout::Mono16:
        return 2;
    case TPcmLayout::Stereo16:
        break;
    }
    return 4;
}

TSpectrumLevels::TSpectrumLevels(const double* Window)
{
    // The transform's 1/64, and 1/2 for the split of its result into even and odd frames; the
    // stereo weights halve once more for the mean of the two samples.
    for (int32_t T = 0; T < BlockFrames; ++T) {
        FMonoWeights[T] = Window[T] / 128.0;
        FStereoWeights[T] = Window[T] / 256.0;
    }
    static_assert(HalfFrames == 32, "the slots reverse five bits");
    for (int32_t N = 0; N < HalfFrames; ++N)
        FSlot[N] = ReverseFiveBits(static_cast<uint32_t>(N));
    for (int32_t J = 0; J < HalfFrames / 2; ++J) {
        FStageCos[J] = std::cos(2.0 * std::numbers::pi * J / HalfFrames);
        FStageSin[J] = std::sin(2.0 * std::numbers::pi * J / HalfFrames);
    }
    for (int32_t K = 0; K < BinCount; ++K) {
        FSplitCos[K] = std::cos(2.0 * std::numbers::pi * K / BlockFrames);
        FSplitSin[K] = std::sin(2.0 * std::numbers::pi * K / BlockFrames);
    }
}

void TSpectrumLevels::SumBlockLevels(
    TPcmLayout Layout, const uint8_t* Bytes, int32_t Blocks, double* Sums) const
{
    std::fill(Sums, Sums + BinCount, 0.0);
    switch (Layout) {
    case TPcmLayout::Mono8:
        return SumLayout<TPcmLayout::Mono8>(Bytes, Blocks, Sums);
    case TPcmLayout::Stereo8:
        return SumLayout<TPcmLayout::Stereo8>(Bytes, Blocks, Sums);
    case TPcmLayout::Mono16:
        return SumLayout<TPcmLayout::Mono16>(Bytes, Blocks, Sums);
    case TPcmLayout::Stereo16:
        return SumLayout<TPcmLayout::Stereo16>(Bytes, Blocks, Sums);
    }
}

template <TPcmLayout Layout>
void TSpectrumLevels::SumLayout(const uint8_t* Bytes, int32_t Blocks, double* Sums) const
{
    TLaneData Data;
    TLaneProducts Products;
    for (TLane& Product : Products.Value)
        Product = TLane{} + 1.0;
    int32_t Factors = 0; // in each lane's products
    for (int32_t First = 0; First < Blocks; First += Lanes) {
        const int32_t Count = std::min(Lanes, Blocks - First);
        LoadGroup<Layout>(Bytes, First, Count, Data);
        Transform(Data);
        MultiplyMagnitudes(Data, Products);
        if (++Factors == FoldBlocks) {
            FoldProducts(Products, Sums);
            Factors = 0;
        }
    }
    if (Factors > 0)
        FoldProducts(Products, Sums);
}

// Frames 2n and 2n + 1 of each block, weighted, become the real and imaginary part of point n,
// stored at the slot where the transform's first stage wants it. Lanes without a block get
// silence, whose bins multiply the products by 1.
template <TPcmLayout Layout>
void TSpectrumLevels::LoadGroup(
    const uint8_t* Bytes, int32_t FirstBlock, int32_t Count, TLaneData& Data) const
{
    static_assert(Lanes == 2, "a group is loaded as two blocks side by side");
    const int32_t Frame = FrameBytes(Layout);
    const double* Weights = IsStereo(Layout) ? FStereoWeights : FMonoWeights;
    const uint8_t* First = Bytes + static_cast<size_t>(FirstBlock) * BlockFrames * Frame;
    const uint8_t* Second = First + BlockFrames * Frame;
    const bool BothLanes = Count > 1;
    for (int32_t N = 0; N < HalfFrames; ++N) {
        const int32_t Even = 2 * N * Frame;
        const int32_t Odd = Even + Frame;
        const TLane Re{ static_cast<double>(FrameValue<Layout>(First + Even)),
            BothLanes ? static_cast<double>(FrameValue<Layout>(Second + Even)) : 0.0 };
        const TLane Im{ static_cast<double>(FrameValue<Layout>(First + Odd)),
            BothLanes ? static_cast<double>(FrameValue<Layout>(Second + Odd)) : 0.0 };
        Data.Re[FSlot[N]] = Re * Weights[2 * N];
        Data.Im[FSlot[N]] = Im * Weights[2 * N + 1];
    }
}

// A radix-2 decimation-in-time transform of 32 points per lane, forward and unscaled; its
// input is in bit-reversed order, its output in natural order. Of its 80 butterflies, 31 have
// the twiddle 1 and 15 the twiddle -i, which take no products: 46 butterflies of additions alone.
void TSpectrumLevels::Transform(TLaneData& Data) const
{
    const auto Butterfly = [&](int32_t A, int32_t B, TLane TRe, TLane TIm) {
        Data.Re[B] = Data.Re[A] - TRe;
        Data.Im[B] = Data.Im[A] - TIm;
        Data.Re[A] += TRe;
        Data.Im[A] += TIm;
    };
    for (int32_t Start = 0; Start < HalfFrames; Start += 2)
        Butterfly(Start, Start + 1, Data.Re[Start + 1], Data.Im[Start + 1]);
    for (int32_t Half = 2; Half < HalfFrames; Half *= 2) {
        const int32_t TwiddleStep = HalfFrames / (2 * Half);
        for (int32_t Start = 0; Start < HalfFrames; Start += 2 * Half) {
            const int32_t Quarter = Start + Half / 2;
            Butterfly(Start, Start + Half, Data.Re[Start + Half], Data.Im[Start + Half]);
            Butterfly(Quarter, Quarter + Half, Data.Im[Quarter + Half], -Data.Re[Quarter + Half]);
            for (int32_t J = 1; J < Half; ++J) {
                if (2 * J == Half)
                    continue;
                const double C = FStageCos[J * TwiddleStep];
                const double S = FStageSin[J * TwiddleStep];
                const TLane BRe = Data.Re[Start + J + Half];
                const TLane BIm = Data.Im[Start + J + Half];
                Butterfly(Start + J, Start + J + Half, C * BRe + S * BIm, C * BIm - S * BRe);
            }
        }
    }
}

// Splits the 32-point result Z into the lowest 32 bins X of the 64 real frames,
// X_k = (Z_k + conj Z_(32-k)) - i e^(-2 pi i k / 64) (Z_k - conj Z_(32-k)) with the halving
// already in the weights, and multiplies each bin's product by max(|X_k|^2, 1): a magnitude
// below 1 has a negative logarithm, which the level floors at 0.
void TSpectrumLevels::MultiplyMagnitudes(const TLaneData& Data, TLaneProducts& Products) const
{
    const TLane One = TLane{} + 1.0;
    for (int32_t K = 0; K < BinCount; ++K) {
        const int32_t Mirror = (HalfFrames - K) % HalfFrames;
        const double C = FSplitCos[K];
        const double S = FSplitSin[K];
        const TLane DRe = Data.Re[K] - Data.Re[Mirror];
        const TLane DIm = Data.Im[K] + Data.Im[Mirror];
        const TLane XRe = Data.Re[K] + Data.Re[Mirror] + C * DIm - S * DRe;
        const TLane XIm = Data.Im[K] - Data.Im[Mirror] - C * DRe - S * DIm;
        const TLane Squared = XRe * XRe + XIm * XIm;
        Products.Value[K] *= Squared > One ? Squared : One;
    }
}

// Sums[k] += log10 of the square root of each lane's product, and the products start again.
void TSpectrumLevels::FoldProducts(TLaneProducts& Products, double* Sums)
{
    for (int32_t K = 0; K < BinCount; ++K) {
        double Logarithms = 0.0;
        for (int32_t Lane = 0; Lane < Lanes; ++Lane)
            Logarithms += std::log10(Products.Value[K][Lane]);
        Products.Value[K] = TLane{} + 1.0;
        Sums[K] += 0.5 * Logarithms;
    }
}
