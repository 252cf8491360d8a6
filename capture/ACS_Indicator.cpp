#include "ACS_Indicator.h"

#include "ACS_Procs.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <thread>

namespace {

// The sink's request size; the scratch copy starts this large so that the system's deliveries
// never allocate on the worker.
constexpr size_t TypicalDelivery = 16384;

// Waits for a values lock held by the other side for at most one delivery's analysis.
void AcquireYielding(TSpinFlag& Flag)
{
    while (!Flag.TryAcquire())
        std::this_thread::yield();
}

// Releases a held flag when the scope ends, also when the analysis raises, so that a reader
// never waits for a lock that nobody will release.
class TFlagRelease {
public:
    explicit TFlagRelease(TSpinFlag& Flag)
        : FFlag(Flag)
    {
    }
    ~TFlagRelease() { FFlag.Release(); }
    TFlagRelease(const TFlagRelease&) = delete;
    TFlagRelease& operator=(const TFlagRelease&) = delete;

private:
    TSpinFlag& FFlag;
};

int32_t Sample16(const uint8_t* Bytes)
{
    return static_cast<int16_t>(static_cast<uint16_t>(Bytes[0] | (Bytes[1] << 8)));
}

} // namespace

TSoundIndicator::TSoundIndicator(TComponent* AOwner)
    : TACSConverter(AOwner)
{
    FillHannWindow(FWindow, WindowLength, true);
    std::fill(std::begin(FAccumulators), std::end(FAccumulators), 0.0);
    FScratch.resize(TypicalDelivery);
}

TACSInput& TSoundIndicator::AssignedInput() const
{
    TACSInput* Source = Input.load();
    if (!Source)
        throw EACSException("Input is not assigned.");
    return *Source;
}

int32_t TSoundIndicator::GetBitsPerSample()
{
    return AssignedInput().GetBitsPerSample();
}

int32_t TSoundIndicator::GetChannels()
{
    return AssignedInput().GetChannels();
}

int32_t TSoundIndicator::GetSampleRate()
{
    return AssignedInput().GetSampleRate();
}

void TSoundIndicator::Init()
{
    TACSInput& Source = AssignedInput();
    Busy = true;
    Source.Init();
    Size = Source.Size.load();
    AcquireYielding(FValuesLock);
    std::fill(std::begin(FAccumulators), std::end(FAccumulators), 0.0);
    FValuesLock.Release();
    Position = 0;
}

void TSoundIndicator::Flush()
{
    if (TACSInput* Source = Input.load())
        Source->Flush();
    Busy = false;
}

int32_t TSoundIndicator::GetData(void* Buffer, int32_t BufferSize)
{
    if (!Busy)
        throw EACSException("The Stream is not opened");
    InputLock.Acquire();
    TACSInput* Source = Input.load();
    if (!Source) {
        // The input was taken away during the run; there is nothing to read from.
        InputLock.Release();
        throw EACSException("Input is not assigned.");
    }
    // An error here leaves InputLock set; the sink's failure handling clears it with
    // ReleaseInputLocks.
    const int32_t Count = Source->GetData(Buffer, BufferSize);
    // Position and format are taken while the lock keeps the input from being exchanged (and
    // then destroyed). The format is asked once per delivery, so that the frame count and the
    // block reads agree.
    Position = Source->Position.load();
    const TSampleLayout Layout{ Source->GetBitsPerSample() == 8, Source->GetChannels() == 1 };
    InputLock.Release();

    // Never read past the caller's buffer, whatever count the input claims. A delivery that the
    // reader holds up is passed on unmeasured.
    const int32_t Measured = std::min(Count, BufferSize);
    if (Measured <= 0 || !FValuesLock.TryAcquire())
        return Count;
    TFlagRelease Release(FValuesLock);
    if (FScratch.size() < static_cast<size_t>(Measured))
        FScratch.resize(Measured);
    std::memcpy(FScratch.data(), Buffer, Measured);
    Analyse(Layout, FScratch.data(), Measured);
    return Count;
}

void TSoundIndicator::TakeLevels(std::span<double> Values)
{
    AcquireYielding(FValuesLock);
    const size_t Filled = std::min<size_t>(LevelCount, Values.size());
    for (size_t K = 0; K < Filled; ++K)
        Values[K] = FAccumulators[K] * 20.0;
    std::fill(std::begin(FAccumulators), std::end(FAccumulators), 0.0);
    FValuesLock.Release();
}

void TSoundIndicator::AccumulateBlock(const double* BlockLevels)
{
    bool Fault = false;
    for (int32_t K = 0; K < LevelCount; ++K) {
        FAccumulators[K] += BlockLevels[K];
        Fault = Fault || !std::isfinite(FAccumulators[K]);
    }
    if (Fault)
        std::fill(std::begin(FAccumulators), std::end(FAccumulators), 0.0);
}

void TSoundIndicator::Analyse(const TSampleLayout& Layout, const uint8_t* Bytes, int32_t Count)
{
    const int32_t Blocks = FrameCount(Layout, Count) / BlockFrames;
    // Fewer than 64 frames make no block: the accumulators stay as they are.
    if (Blocks == 0)
        return;
    double Samples[BlockFrames];
    double Levels[LevelCount];
    for (int32_t Block = 0; Block < Blocks; ++Block) {
        MixBlock(Layout, Bytes, Block, Samples);
        MeasureBlock(Samples, Levels);
        AccumulateBlock(Levels);
    }
    for (double& Accumulator : FAccumulators)
        Accumulator /= Blocks;
}

int32_t TSoundIndicator::FrameCount(const TSampleLayout& Layout, int32_t Count)
{
    const auto Bytes = static_cast<uint32_t>(Count);
    const uint32_t Shift = (Layout.EightBit ? 0 : 1) + (Layout.Mono ? 0 : 1);
    return static_cast<int32_t>(Bytes >> Shift);
}

// Any bit depth other than 8 is read as 16-bit samples, any channel count other than 1 as two
// interleaved channels; a stereo frame is the mean of its two samples, summed as integers.
void TSoundIndicator::MixBlock(
    const TSampleLayout& Layout, const uint8_t* Bytes, int32_t Block, double* Samples)
{
    const size_t First = static_cast<size_t>(Block) * BlockFrames;
    for (size_t K = 0; K < BlockFrames; ++K) {
        const size_t G = First + K;
        if (Layout.EightBit && Layout.Mono)
            Samples[K] = Bytes[G];
        else if (Layout.EightBit)
            Samples[K] = (Bytes[2 * G] + Bytes[2 * G + 1]) / 2.0;
        else if (Layout.Mono)
            Samples[K] = Sample16(Bytes + 2 * G);
        else
            Samples[K] = (Sample16(Bytes + 4 * G) + Sample16(Bytes + 4 * G + 2)) / 2.0;
    }
}

void TSoundIndicator::MeasureBlock(double* Samples, double* Levels) const
{
    ApplyWindow(FWindow, Samples, BlockFrames);
    TComplexValue Spectrum[BlockFrames];
    for (int32_t K = 0; K < BlockFrames; ++K)
        Spectrum[K] = { Samples[K], 0.0 };
    FourierTransform(Spectrum, BlockFrames, 1);
    // Only the lowest LevelCount bins are accumulated; the logarithms of the others would be
    // thrown away, and they are the dearest step of the analysis.
    LogMagnitudes(Spectrum, Levels, LevelCount, 0);
}
