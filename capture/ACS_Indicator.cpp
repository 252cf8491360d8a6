#include "ACS_Indicator.h"

#include "ACS_Procs.h"

#include <algorithm>
#include <cmath>
#include <thread>

namespace {

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

const double* FilledHannWindow(double* Table, int32_t Length)
{
    FillHannWindow(Table, Length, true);
    return Table;
}

// Any bit depth other than 8 is read as 16-bit samples, any channel count other than 1 as two
// interleaved channels.
TPcmLayout LayoutOf(int32_t BitsPerSample, int32_t Channels)
{
    if (BitsPerSample == 8)
        return Channels == 1 ? TPcmLayout::Mono8 : TPcmLayout::Stereo8;
    return Channels == 1 ? TPcmLayout::Mono16 : TPcmLayout::Stereo16;
}

} // namespace

TSoundIndicator::TSoundIndicator(TComponent* AOwner)
    : TACSConverter(AOwner)
    , FSpectrum(FilledHannWindow(FWindow, WindowLength))
{
    static_assert(TSpectrumLevels::BlockFrames == BlockFrames);
    static_assert(TSpectrumLevels::BinCount == LevelCount);
    std::fill(std::begin(FAccumulators), std::end(FAccumulators), 0.0);
}

TSoundIndicator::~TSoundIndicator()
{
    Withdraw();
}

TACSInput& TSoundIndicator::AssignedInput() const
{
    TACSInput* Source = Input.load();
    if (!Source)
        throw EACSException("Input is not assigned.");
    return *Source;
}

int32_t TSoundIndicator::AskInput(int32_t (TACSInput::*Query)())
{
    // The input cannot be forgotten (and destroyed) while it answers.
    InputLock.Acquire();
    try {
        const int32_t Answer = (AssignedInput().*Query)();
        InputLock.Release();
        return Answer;
    } catch (...) {
        InputLock.Release();
        throw;
    }
}

int32_t TSoundIndicator::GetBitsPerSample()
{
    return AskInput(&TACSInput::GetBitsPerSample);
}

int32_t TSoundIndicator::GetChannels()
{
    return AskInput(&TACSInput::GetChannels);
}

int32_t TSoundIndicator::GetSampleRate()
{
    return AskInput(&TACSInput::GetSampleRate);
}

void TSoundIndicator::Init()
{
    TACSInput& Source = AssignedInput();
    Source.Init();
    Busy = true;
    Size = Source.Size.load();
    FClips.Start(Source.GetSampleRate());
    AcquireYielding(FValuesLock);
    std::fill(std::begin(FAccumulators), std::end(FAccumulators), 0.0);
    FValuesLock.Release();
    Position = 0;
}

void TSoundIndicator::Flush()
{
    FlushInput();
    Busy = false;
}

int32_t TSoundIndicator::GetData(void* Buffer, int32_t BufferSize)
{
    TInputFormat Format;
    return GetDataWithFormat(Buffer, BufferSize, Format);
}

int32_t TSoundIndicator::GetDataWithFormat(void* Buffer, int32_t BufferSize, TInputFormat& Format)
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
    const int32_t Count = Source->GetDataWithFormat(Buffer, BufferSize, Format);
    // Position is taken while the lock keeps the input from being exchanged (and then
    // destroyed). The format is the one that came with the bytes, once per delivery, so that
    // the frame count and the block reads agree.
    Position = Source->Position.load();
    InputLock.Release();
    const TPcmLayout Layout = LayoutOf(Format.BitsPerSample, Format.Channels);

    // Never read past the caller's buffer, whatever count the input claims. A delivery that the
    // reader holds up is passed on unmeasured.
    const int32_t Measured = std::min(Count, BufferSize);
    if (Measured <= 0)
        return Count;
    FClips.Measure(Layout, static_cast<const uint8_t*>(Buffer), Measured);
    if (!FValuesLock.TryAcquire())
        return Count;
    TFlagRelease Release(FValuesLock);
    Analyse(Layout, static_cast<const uint8_t*>(Buffer), Measured);
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

void TSoundIndicator::Analyse(TPcmLayout Layout, const uint8_t* Bytes, int32_t Count)
{
    const int32_t Blocks = Count / FrameBytes(Layout) / BlockFrames;
    // Fewer than 64 frames make no block: the accumulators stay as they are.
    if (Blocks == 0)
        return;
    double Sums[LevelCount];
    FSpectrum.SumBlockLevels(Layout, Bytes, Blocks, Sums);
    AccumulateBlock(Sums);
    for (double& Accumulator : FAccumulators)
        Accumulator /= Blocks;
}
