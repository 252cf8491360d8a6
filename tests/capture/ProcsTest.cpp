#include "ACS_Procs.h"

#include <cmath>
#include <complex>
#include <gtest/gtest.h>
#include <numbers>
#include <random>
#include <vector>

namespace {

std::vector<TComplexValue> RandomSignal(int32_t N, unsigned Seed)
{
    std::mt19937 Generator(Seed);
    std::uniform_real_distribution<double> Value(-1000.0, 1000.0);
    std::vector<TComplexValue> Data(N);
    for (auto& X : Data)
        X = { Value(Generator), Value(Generator) };
    return Data;
}

// The transform by its definition, in natural order: forward scaled by 1/N with e^(-i...),
// inverse unscaled with e^(+i...).
std::vector<std::complex<long double>> DirectTransform(
    const std::vector<TComplexValue>& Data, bool Forward)
{
    const auto N = static_cast<long double>(Data.size());
    const long double Sign = Forward ? -1.0L : 1.0L;
    std::vector<std::complex<long double>> Result(Data.size());
    for (size_t K = 0; K < Data.size(); ++K) {
        for (size_t T = 0; T < Data.size(); ++T) {
            const long double Angle = Sign * 2.0L * std::numbers::pi_v<long double> * K * T / N;
            Result[K]
                += std::complex<long double>(Data[T].Re, Data[T].Im) * std::polar(1.0L, Angle);
        }
        if (Forward)
            Result[K] /= N;
    }
    return Result;
}

void ExpectSameSpectrum(const std::vector<TComplexValue>& Actual,
    const std::vector<std::complex<long double>>& Expected, double Tolerance)
{
    ASSERT_EQ(Actual.size(), Expected.size());
    for (size_t K = 0; K < Actual.size(); ++K) {
        EXPECT_NEAR(Actual[K].Re, static_cast<double>(Expected[K].real()), Tolerance)
            << "bin " << K;
        EXPECT_NEAR(Actual[K].Im, static_cast<double>(Expected[K].imag()), Tolerance)
            << "bin " << K;
    }
}

} // namespace

TEST(FourierTransform, ForwardOfEqualValuesIsAllInBinZero)
{
    std::vector<TComplexValue> Data(64, TComplexValue{ 123.25, 0.0 });
    FourierTransform(Data.data(), 64, 1);
    EXPECT_NEAR(Data[0].Re, 123.25, 1e-12);
    EXPECT_NEAR(Data[0].Im, 0.0, 1e-12);
    for (int K = 1; K < 64; ++K) {
        EXPECT_NEAR(Data[K].Re, 0.0, 1e-12) << "bin " << K;
        EXPECT_NEAR(Data[K].Im, 0.0, 1e-12) << "bin " << K;
    }
}

TEST(FourierTransform, MatchesTheDefinitionInBothDirections)
{
    for (int32_t N : { 2, 4, 8, 64, 256 }) {
        SCOPED_TRACE(N);
        const auto Input = RandomSignal(N, static_cast<unsigned>(N));
        auto Forward = Input;
        FourierTransform(Forward.data(), N, 1);
        ExpectSameSpectrum(Forward, DirectTransform(Input, true), 1e-9);
        // Every direction other than 1 is the unscaled inverse.
        for (int32_t Direction : { -1, 0, 2 }) {
            auto Inverse = Input;
            FourierTransform(Inverse.data(), N, Direction);
            ExpectSameSpectrum(Inverse, DirectTransform(Input, false), 1e-7 * N);
        }
    }
}

TEST(FourierTransform, ForwardThenInverseGivesTheInputBack)
{
    const auto Input = RandomSignal(64, 7);
    auto Data = Input;
    FourierTransform(Data.data(), 64, 1);
    FourierTransform(Data.data(), 64, -1);
    for (size_t I = 0; I < Input.size(); ++I) {
        EXPECT_NEAR(Data[I].Re, Input[I].Re, 1e-9) << I;
        EXPECT_NEAR(Data[I].Im, Input[I].Im, 1e-9) << I;
    }
}

TEST(FourierTransform, SingleValueAndUnsupportedLengthsAreLeftAlone)
{
    TComplexValue One{ -2.5, 4.0 };
    FourierTransform(&One, 1, 1);
    EXPECT_EQ(One.Re, -2.5);
    EXPECT_EQ(One.Im, 4.0);

    // A length that is not a power of two would make the bit-reversal walk endless.
    for (int32_t N : { 0, -4, 3, 6, 12 }) {
        const auto Input = RandomSignal(12, 3);
        auto Data = Input;
        FourierTransform(Data.data(), N, 1);
        for (size_t I = 0; I < Data.size(); ++I)
            EXPECT_EQ(Data[I].Re, Input[I].Re) << "N " << N;
    }
}

TEST(FillHannWindow, SmallWindows)
{
    double Periodic[4];
    FillHannWindow(Periodic, 4, false);
    const double ExpectedPeriodic[4] = { 0.0, 0.5, 1.0, 0.5 };
    double Symmetric[4];
    FillHannWindow(Symmetric, 4, true);
    const double ExpectedSymmetric[4] = { 0.0, 0.75, 0.75, 0.0 };
    for (int I = 0; I < 4; ++I) {
        EXPECT_NEAR(Periodic[I], ExpectedPeriodic[I], 1e-11) << I;
        EXPECT_NEAR(Symmetric[I], ExpectedSymmetric[I], 1e-11) << I;
    }
    // A symmetric window of one point has no divisor; its point is the window's middle.
    double One = -1.0;
    FillHannWindow(&One, 1, true);
    EXPECT_EQ(One, 1.0);
}

TEST(FillHannWindow, TheIndicatorsTableOf1024)
{
    std::vector<double> Table(1024);
    FillHannWindow(Table.data(), 1024, true);
    EXPECT_EQ(Table[0], 0.0);
    EXPECT_NEAR(Table[1], 9.43e-6, 0.005e-6);
    EXPECT_NEAR(Table[63], 0.0369661, 1e-7);
    EXPECT_NEAR(Table[511], 0.9999976, 1e-7);
    double Sum = 0.0;
    for (int I = 0; I < 64; ++I)
        Sum += Table[I];
    EXPECT_NEAR(Sum / 64, 0.0124807, 1e-7);
    EXPECT_NEAR(Table[1023], 0.0, 1e-20);
}

TEST(FillHannWindow, AngleStepUsesTwoPiToElevenDecimals)
{
    // The truncated constant is 4.1e-13 above 2 pi; near the quarter point that moves an entry by
    // about 5e-14, hundreds of ulps, so the two constants give visibly different tables.
    std::vector<double> Table(1024);
    FillHannWindow(Table.data(), 1024, true);
    const long double Angle = 256 * 6.28318530718L / 1023;
    const long double FullAngle = 256 * 2 * std::numbers::pi_v<long double> / 1023;
    EXPECT_NEAR(Table[256], static_cast<double>((1 - std::cos(Angle)) / 2), 2e-16);
    EXPECT_GT(std::fabs(Table[256] - static_cast<double>((1 - std::cos(FullAngle)) / 2)), 2e-14);
}

TEST(LogMagnitudes, FlooredAtZeroAndShiftedByTheOffset)
{
    const TComplexValue Source[5]
        = { { 3.0, 4.0 }, { 0.5, 0.0 }, { 0.0, 0.0 }, { -3.0, -4.0 }, { 0.0, 1e6 } };
    double Target[6] = { -1, -1, -1, -1, -1, 42.0 };
    LogMagnitudes(Source, Target, 5, 0);
    EXPECT_NEAR(Target[0], 0.69897, 1e-5);
    EXPECT_EQ(Target[1], 0.0);
    EXPECT_EQ(Target[2], 0.0);
    EXPECT_NEAR(Target[3], 0.69897, 1e-5);
    EXPECT_NEAR(Target[4], 6.0, 1e-12);
    EXPECT_EQ(Target[5], 42.0);

    LogMagnitudes(Source, Target, 3, 2);
    EXPECT_NEAR(Target[0], 2.69897, 1e-5);
    EXPECT_NEAR(Target[1], 1.69897, 1e-5);
    EXPECT_EQ(Target[2], 0.0); // a zero magnitude stays 0 whatever the offset

    const TComplexValue Tiny{ 0.001, 0.0 };
    LogMagnitudes(&Tiny, Target, 1, 2);
    EXPECT_EQ(Target[0], 0.0);
}
