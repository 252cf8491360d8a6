#include "TestSignal.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <numbers>

namespace {

// A small fixed-seed generator, so the signal does not depend on the library's engines.
class TXorShift {
public:
    explicit TXorShift(uint64_t Seed)
        : FState(Seed)
    {
    }
    // Uniform in [-1, 1).
    double Next()
    {
        FState ^= FState << 13;
        FState ^= FState >> 7;
        FState ^= FState << 17;
        return static_cast<double>(FState >> 11) * (2.0 / 9007199254740992.0) - 1.0;
    }

private:
    uint64_t FState;
};

// Pink noise by summing rows of white noise, row k renewed every 2^k samples: the spectrum
// falls by about 3 dB per octave over the rows' range.
class TPinkNoise {
public:
    explicit TPinkNoise(uint64_t Seed)
        : FRandom(Seed)
    {
        for (double& Row : FRows) {
            Row = FRandom.Next();
            FSum += Row;
        }
    }
    // Unit RMS: the sum of RowCount + 1 uniform values has a variance of (RowCount + 1) / 3.
    double Next()
    {
        ++FCounter;
        const int Row = std::min(std::countr_zero(FCounter), RowCount - 1);
        FSum -= FRows[Row];
        FRows[Row] = FRandom.Next();
        FSum += FRows[Row];
        return (FSum + FRandom.Next()) * Scale;
    }

private:
    static constexpr int RowCount = 16;
    static inline const double Scale = std::sqrt(3.0 / (RowCount + 1));

    TXorShift FRandom;
    double FRows[RowCount] = {};
    double FSum = 0.0;
    uint64_t FCounter = 0;
};

int16_t ToSample(double Value)
{
    return static_cast<int16_t>(std::lround(std::clamp(Value, -1.0, 1.0) * 32767.0));
}

void Put(std::vector<uint8_t>& Bytes, size_t At, int16_t Sample)
{
    const auto Bits = static_cast<uint16_t>(Sample);
    Bytes[At] = static_cast<uint8_t>(Bits & 0xFF);
    Bytes[At + 1] = static_cast<uint8_t>(Bits >> 8);
}

} // namespace

TBenchPcm MakeBenchPcm(int32_t SampleRate, int32_t Seconds)
{
    const int64_t Frames = int64_t{ SampleRate } * Seconds;
    auto Bytes = std::make_shared<std::vector<uint8_t>>(static_cast<size_t>(Frames) * 4);
    TPinkNoise Left(0x9E3779B97F4A7C15ull), Right(0xD1B54A32D192ED03ull);
    const double F0 = 20.0;
    const double F1 = std::min(20000.0, 0.45 * SampleRate);
    const double Span = static_cast<double>(Seconds);
    const double Growth = std::log(F1 / F0);
    constexpr double NoiseLevel = 0.2; // RMS, about -14 dBFS
    constexpr double SweepLevel = 0.35;
    for (int64_t I = 0; I < Frames; ++I) {
        const double T = static_cast<double>(I) / SampleRate;
        const double Phase
            = 2.0 * std::numbers::pi * F0 * Span / Growth * (std::exp(Growth * T / Span) - 1.0);
        const double Sweep = SweepLevel * std::sin(Phase);
        const auto At = static_cast<size_t>(I) * 4;
        Put(*Bytes, At, ToSample(Sweep + NoiseLevel * Left.Next()));
        Put(*Bytes, At + 2, ToSample(Sweep + NoiseLevel * Right.Next()));
    }
    return { SampleRate, Seconds, std::move(Bytes) };
}
