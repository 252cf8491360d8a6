#include "MeteringCost.h"

#include "ACS_Indicator.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <stdexcept>

namespace {

constexpr int32_t BlockSize = 16384;

// A source that hands out the PCM in 16384-byte blocks, looping, for as long as it is read.
class TMemorySource : public TACSInput {
public:
    explicit TMemorySource(const TBenchPcm& Pcm)
        : TACSInput(nullptr)
        , FPcm(Pcm)
    {
    }

    int32_t GetBitsPerSample() override { return 16; }
    int32_t GetChannels() override { return 2; }
    int32_t GetSampleRate() override { return FPcm.SampleRate; }
    int32_t GetData(void* Buffer, int32_t BufferSize) override
    {
        const std::vector<uint8_t>& Bytes = *FPcm.Bytes;
        const auto Count = static_cast<int32_t>(
            std::min<size_t>(static_cast<size_t>(BufferSize), Bytes.size() - FAt));
        std::memcpy(Buffer, Bytes.data() + FAt, static_cast<size_t>(Count));
        FAt = (FAt + static_cast<size_t>(Count)) % Bytes.size();
        Position += Count;
        return Count;
    }
    void Init() override
    {
        Busy = true;
        Position = 0;
        Size = -1;
        FAt = 0;
    }
    void Flush() override { Busy = false; }

private:
    const TBenchPcm& FPcm;
    size_t FAt = 0;
};

template <typename TRead> double SecondsFor(int64_t Blocks, TRead Read)
{
    alignas(16) static uint8_t Block[BlockSize];
    const auto Start = std::chrono::steady_clock::now();
    for (int64_t I = 0; I < Blocks; ++I) {
        if (Read(Block) <= 0)
            throw std::runtime_error("The metering source ran dry");
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
}

} // namespace

TMeteringResult MeasureMetering(const TBenchPcm& Pcm, int64_t Blocks)
{
    TMemorySource Source(Pcm);
    TSoundIndicator Indicator(nullptr);
    Indicator.SetInput(&Source);
    Indicator.Init();
    const double Metered
        = SecondsFor(Blocks, [&](uint8_t* Block) { return Indicator.GetData(Block, BlockSize); });
    Indicator.Flush();

    Source.Init();
    const double Plain
        = SecondsFor(Blocks, [&](uint8_t* Block) { return Source.GetData(Block, BlockSize); });
    Source.Flush();

    TMeteringResult Result;
    Result.Blocks = Blocks;
    Result.SourceMicrosPerBlock = Plain * 1e6 / static_cast<double>(Blocks);
    Result.MicrosPerBlock = std::max(0.0, Metered - Plain) * 1e6 / static_cast<double>(Blocks);
    return Result;
}
