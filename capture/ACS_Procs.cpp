#include "ACS_Procs.h"

#include <cmath>
#include <utility>

namespace {

// 2 pi to eleven decimals: the window's angle step is built from this value, not from full 2 pi.
constexpr long double TwoPi = 6.28318530718L;

constexpr long double Log10Of2 = 0.301029995663981195213738894724493027L;

bool IsPowerOfTwo(int32_t N)
{
    return N > 0 && (N & (N - 1)) == 0;
}

void BitReversePermutation(TComplexValue* Data, int32_t N)
{
    int32_t J = 0;
    for (int32_t I = 0; I < N - 1; ++I) {
        if (I < J)
            std::swap(Data[I], Data[J]);
        int32_t K = N / 2;
        while (K <= J) {
            J -= K;
            K /= 2;
        }
        J += K;
    }
}

// One butterfly: Data[I] and Data[I1] become their sum and difference with the twiddle (U1, U2).
void Butterfly(TComplexValue& A, TComplexValue& B, double U1, double U2)
{
    const double T1 = static_cast<long double>(U1) * B.Re - static_cast<long double>(U2) * B.Im;
    const double T2 = static_cast<long double>(U1) * B.Im + static_cast<long double>(U2) * B.Re;
    B.Re = static_cast<long double>(A.Re) - T1;
    B.Im = static_cast<long double>(A.Im) - T2;
    A.Re = static_cast<long double>(A.Re) + T1;
    A.Im = static_cast<long double>(A.Im) + T2;
}

} // namespace

void FourierTransform(TComplexValue* Data, int32_t N, int32_t Direction)
{
    // The bit-reversal walk does not end for an N that is not a power of two.
    if (!IsPowerOfTwo(N))
        return;
    const auto Stages = static_cast<int32_t>(std::log2(static_cast<long double>(N)));
    BitReversePermutation(Data, N);

    // The twiddle factors come from the half-angle recurrence, starting at the angle pi.
    double C1 = -1.0;
    double C2 = 0.0;
    int32_t L2 = 1;
    for (int32_t Stage = 0; Stage < Stages; ++Stage) {
        const int32_t L1 = L2;
        L2 *= 2;
        double U1 = 1.0;
        double U2 = 0.0;
        for (int32_t J = 0; J < L1; ++J) {
            for (int32_t I = J; I < N; I += L2)
                Butterfly(Data[I], Data[I + L1], U1, U2);
            const double Z = static_cast<long double>(U1) * C1 - static_cast<long double>(U2) * C2;
            U2 = static_cast<long double>(U1) * C2 + static_cast<long double>(U2) * C1;
            U1 = Z;
        }
        C2 = std::sqrt((1.0L - C1) / 2.0L);
        if (Direction == 1)
            C2 = -C2;
        C1 = std::sqrt((1.0L + C1) / 2.0L);
    }

    if (Direction == 1) {
        for (int32_t I = 0; I < N; ++I) {
            Data[I].Re = static_cast<long double>(Data[I].Re) / N;
            Data[I].Im = static_cast<long double>(Data[I].Im) / N;
        }
    }
}

void FillHannWindow(double* Table, int32_t N, bool Symmetric)
{
    const int32_t Divisor = Symmetric ? N - 1 : N;
    if (Divisor <= 0) {
        // Only a symmetric window of one entry gets here; its one point is the window's middle.
        for (int32_t I = 0; I < N; ++I)
            Table[I] = 1.0;
        return;
    }
    for (int32_t I = 0; I < N; ++I)
        Table[I] = (1.0L - std::cos(I * TwoPi / Divisor)) / 2.0L;
}

void ApplyWindow(const double* Window, double* Data, int32_t Count)
{
    for (int32_t I = 0; I < Count; ++I)
        Data[I] = static_cast<long double>(Window[I]) * Data[I];
}

void LogMagnitudes(const TComplexValue* Source, double* Target, int32_t Count, int32_t Offset)
{
    for (int32_t I = 0; I < Count; ++I) {
        const long double Re = Source[I].Re;
        const long double Im = Source[I].Im;
        const double Magnitude = std::sqrt(Re * Re + Im * Im);
        if (Magnitude == 0.0) {
            Target[I] = 0.0;
            continue;
        }
        const double Value = std::log2(static_cast<long double>(Magnitude)) * Log10Of2 + Offset;
        // A negative logarithm (a magnitude below 10^-Offset) is floored at 0.
        Target[I] = Value >= 0.0 ? Value : 0.0;
    }
}
