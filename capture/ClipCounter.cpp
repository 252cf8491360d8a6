#include "ClipCounter.h"

#include <algorithm>
#include <cstring>

namespace {

// Eight samples are tested at once, in a 16-byte vector of the compiler's vector type (GCC and
// Clang), with no early exit: a delivery without a full-scale sample costs one quick pass over
// its bytes. The samples are read in the machine's byte order, which is little-endian like the
// sound on every target of this program.
using TSamples16 = int16_t __attribute__((vector_size(16)));
constexpr int32_t VectorSamples = 8;

bool Any16(const uint8_t* Bytes, int32_t Samples)
{
    // Two vectors per step, so that the loads and tests of one overlap those of the other.
    TSamples16 Hits = {};
    int32_t I = 0;
    for (; I + 2 * VectorSamples <= Samples; I += 2 * VectorSamples) {
        TSamples16 First, Second;
        std::memcpy(&First, Bytes + 2 * I, sizeof First);
        std::memcpy(&Second, Bytes + 2 * I + sizeof First, sizeof Second);
        Hits |= (First >= 32766) | (First <= -32766) | (Second >= 32766) | (Second <= -32766);
    }
    for (; I + VectorSamples <= Samples; I += VectorSamples) {
        TSamples16 Values;
        std::memcpy(&Values, Bytes + 2 * I, sizeof Values);
        Hits |= (Values >= 32766) | (Values <= -32766);
    }
    bool Hit = false;
    for (int32_t Lane = 0; Lane < VectorSamples; ++Lane)
        Hit = Hit || Hits[Lane] != 0;
    for (; I < Samples; ++I) {
        const auto Sample
            = static_cast<int16_t>(static_cast<uint16_t>(Bytes[2 * I] | (Bytes[2 * I + 1] << 8)));
        Hit = Hit || Sample >= 32766 || Sample <= -32766;
    }
    return Hit;
}

bool Any8(const uint8_t* Bytes, int32_t Samples)
{
    bool Hit = false;
    for (int32_t I = 0; I < Samples; ++I)
        Hit |= (Bytes[I] <= 1) | (Bytes[I] >= 254);
    return Hit;
}

int32_t SamplesPerFrame(TPcmLayout Layout)
{
    return Layout == TPcmLayout::Mono8 || Layout == TPcmLayout::Mono16 ? 1 : 2;
}

} // namespace

bool ReachesFullScale(TPcmLayout Layout, const uint8_t* Bytes, int32_t Frames)
{
    const int32_t Samples = Frames * SamplesPerFrame(Layout);
    if (Layout == TPcmLayout::Mono8 || Layout == TPcmLayout::Stereo8)
        return Any8(Bytes, Samples);
    return Any16(Bytes, Samples);
}

void TClipCounter::Start(int32_t SampleRate)
{
    FCount = 0;
    FQuietSpan = std::max<int64_t>(1, SampleRate / 10);
    FQuietFrames = FQuietSpan;
}

void TClipCounter::Measure(TPcmLayout Layout, const uint8_t* Bytes, int32_t Count)
{
    const int32_t Frames = Count / FrameBytes(Layout);
    if (Frames <= 0)
        return;
    if (!ReachesFullScale(Layout, Bytes, Frames)) {
        FQuietFrames += Frames;
        return;
    }
    for (int32_t First = 0; First < Frames; First += BlockFrames) {
        const int32_t Block = std::min(BlockFrames, Frames - First);
        if (ReachesFullScale(Layout, Bytes + First * FrameBytes(Layout), Block)) {
            if (FQuietFrames >= FQuietSpan)
                ++FCount;
            FQuietFrames = 0;
        } else {
            FQuietFrames += Block;
        }
    }
}
