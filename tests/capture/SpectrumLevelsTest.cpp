// The fast level analysis against the first, extended-precision one: every delivery of the
// benchmark's sound and of the test signals gives the same level bar position and levels within
// 1e-9 relative, in all four sample layouts and for deliveries of any size.
#include "ACS_Indicator.h"
#include "IndicatorTestInput.h"
#include "ReferenceLevels.h"
#include "TestSignal.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <numbers>
#include <random>
#include <string>

namespace {

using TLevels = TReferenceLevels::TLevels;

constexpr double RelativeTolerance = 1e-9;

// The level bar's position for the first value, as the window sets it.
int BarPosition(double Level)
{
    return static_cast<int>(std::nearbyint(Level));
}

// Feeds the same deliveries to an indicator and to the reference and compares what a reader
// takes from both.
class TComparison {
public:
    TComparison(int32_t Bits, int32_t Channels)
        : FBits(Bits)
        , FChannels(Channels)
        , FSource(Bits, Channels)
        , FIndicator(nullptr)
    {
        FIndicator.SetInput(&FSource);
        FIndicator.Init();
    }
    ~TComparison() { FIndicator.Flush(); }

    void Deliver(const uint8_t* Bytes, int32_t Count)
    {
        FSource.Queue(std::vector<uint8_t>(Bytes, Bytes + Count));
        std::vector<uint8_t> Buffer(static_cast<size_t>(Count));
        ASSERT_EQ(FIndicator.GetData(Buffer.data(), Count), Count);
        FReference.Deliver(FBits, FChannels, Bytes, Count);
    }

    // Takes the levels of both and compares them; Context names the delivery in a failure.
    void Compare(const std::string& Context)
    {
        TLevels Fast;
        FIndicator.TakeLevels(Fast);
        const TLevels Reference = FReference.Take();
        ++Compared;
        ASSERT_EQ(BarPosition(Fast[0]), BarPosition(Reference[0]))
            << Context << ": level " << Fast[0] << " against " << Reference[0];
        for (int32_t K = 0; K < TReferenceLevels::LevelCount; ++K) {
            const double Difference = std::abs(Fast[K] - Reference[K]);
            ASSERT_LE(Difference, RelativeTolerance * std::abs(Reference[K]))
                << Context << ", bin " << K << ": " << Fast[K] << " against " << Reference[K];
            if (Reference[K] != 0.0)
                LargestRelative = std::max(LargestRelative, Difference / std::abs(Reference[K]));
        }
    }

    // Each whole piece of Piece bytes of Bytes delivered and compared on its own.
    void EachPiece(const std::vector<uint8_t>& Bytes, int32_t Piece, const std::string& Name)
    {
        for (size_t At = 0; At + Piece <= Bytes.size(); At += Piece) {
            Deliver(Bytes.data() + At, Piece);
            Compare(Name + " at byte " + std::to_string(At));
            if (::testing::Test::HasFatalFailure())
                return;
        }
    }

    int Compared = 0;
    double LargestRelative = 0.0;

private:
    const int32_t FBits;
    const int32_t FChannels;
    TScriptedInput FSource;
    TSoundIndicator FIndicator;
    TReferenceLevels FReference;
};

// Test signals as raw bytes in one layout. Value(frame, channel) gives a sample in -1 .. 1 of
// full scale; 8-bit samples are offset by 128 as the card delivers them.
template <typename TValue>
std::vector<uint8_t> Pcm(int32_t Bits, int32_t Channels, int32_t Frames, TValue Value)
{
    std::vector<uint8_t> Bytes;
    for (int32_t F = 0; F < Frames; ++F) {
        for (int32_t C = 0; C < Channels; ++C) {
            const double V = std::clamp(Value(F, C), -1.0, 1.0);
            if (Bits == 8)
                Bytes.push_back(static_cast<uint8_t>(std::lround(128.0 + 127.0 * V)));
            else
                Put16(Bytes, static_cast<int32_t>(std::lround(32767.0 * V)));
        }
    }
    return Bytes;
}

struct TNamedSignal {
    std::string Name;
    std::vector<uint8_t> Bytes;
};

std::vector<TNamedSignal> TestSignals(int32_t Bits, int32_t Channels)
{
    constexpr int32_t Frames = 8192;
    const double Rate = 44100.0;
    const auto Sine = [&](double Hz, double Amplitude) {
        return [=](int32_t F, int32_t C) {
            return Amplitude * std::sin(2 * std::numbers::pi * Hz * F / Rate + C * 0.3);
        };
    };
    std::mt19937 Random(7);
    std::vector<TNamedSignal> Signals;
    const auto Add = [&](std::string Name, auto Value) {
        Signals.push_back({ std::move(Name), Pcm(Bits, Channels, Frames, Value) });
    };
    Add("silence", [](int32_t, int32_t) { return 0.0; });
    for (double Level : { 1.0, -1.0, 0.5, 0.03, 0.0003, -0.0003 })
        Add("constant " + std::to_string(Level), [=](int32_t, int32_t) { return Level; });
    for (double Hz : { 20.0, 440.0, 1000.0, 5512.5, 11025.0, 21000.0 })
        for (double Amplitude : { 1.0, 0.35, 0.01, 0.0005 })
            Add("sine " + std::to_string(Hz) + " Hz at " + std::to_string(Amplitude),
                Sine(Hz, Amplitude));
    Add("square", [](int32_t F, int32_t) { return (F / 50) % 2 ? 1.0 : -1.0; });
    Add("highest frequency", [](int32_t F, int32_t) { return F % 2 ? 1.0 : -1.0; });
    Add("opposite channels", [](int32_t F, int32_t C) { return (C ? -0.8 : 0.8) * (F % 7) / 7; });
    Add("impulses", [](int32_t F, int32_t) { return F % 97 == 0 ? 1.0 : 0.0; });
    for (double Amplitude : { 1.0, 0.1, 0.001 }) {
        std::uniform_real_distribution<double> Noise(-Amplitude, Amplitude);
        std::vector<double> Values(static_cast<size_t>(Frames) * 2);
        for (double& Value : Values)
            Value = Noise(Random);
        Add("noise at " + std::to_string(Amplitude),
            [Values](int32_t F, int32_t C) { return Values[2 * static_cast<size_t>(F) + C]; });
    }
    return Signals;
}

} // namespace

TEST(SpectrumLevels, EveryBlockOfTheBenchmarkSoundGivesTheSameBarAndLevels)
{
    for (int32_t Rate : { 44100, 22050 }) {
        SCOPED_TRACE(Rate);
        const TBenchPcm Pcm = MakeBenchPcm(Rate, 60);
        TComparison Comparison(16, 2);
        // One 16384-byte delivery per read, as the window's timer mostly finds them.
        Comparison.EachPiece(*Pcm.Bytes, 16384, "benchmark sound");
        ASSERT_FALSE(HasFatalFailure());
        EXPECT_EQ(Comparison.Compared, static_cast<int>(Pcm.Bytes->size() / 16384));
        // Two deliveries folded together before a read, as when the reader falls behind.
        for (size_t At = 0; At + 2 * 16384 <= Pcm.Bytes->size(); At += 4 * 16384) {
            Comparison.Deliver(Pcm.Bytes->data() + At, 16384);
            Comparison.Deliver(Pcm.Bytes->data() + At + 16384, 16384);
            Comparison.Compare("two deliveries from byte " + std::to_string(At));
            ASSERT_FALSE(HasFatalFailure());
        }
        char Largest[32];
        std::snprintf(Largest, sizeof Largest, "%.3g", Comparison.LargestRelative);
        RecordProperty("largest_relative_difference_" + std::to_string(Rate), Largest);
    }
}

TEST(SpectrumLevels, TestSignalsGiveTheSameBarAndLevelsInEveryLayout)
{
    for (int32_t Bits : { 16, 8 }) {
        for (int32_t Channels : { 2, 1 }) {
            SCOPED_TRACE(std::to_string(Bits) + " bits, " + std::to_string(Channels) + " channels");
            TComparison Comparison(Bits, Channels);
            const int32_t Frame = Bits / 8 * Channels;
            for (const TNamedSignal& Signal : TestSignals(Bits, Channels)) {
                // Whole system-sized deliveries, single blocks, and a delivery of five blocks
                // and a part, which leaves lanes of the last group of blocks empty.
                Comparison.EachPiece(Signal.Bytes, 16384, Signal.Name);
                Comparison.EachPiece(Signal.Bytes, 64 * Frame, Signal.Name + ", single blocks");
                Comparison.EachPiece(
                    Signal.Bytes, 5 * 64 * Frame + 63 * Frame, Signal.Name + ", 5 blocks");
                ASSERT_FALSE(HasFatalFailure());
            }
        }
    }
}
