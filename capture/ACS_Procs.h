// Spectrum routines of the level indicator: an in-place complex Fourier transform, a Hann window
// generator, the weighting of an array by a window, and a floored base-10 log-magnitude.
//
// They are free functions on caller-owned arrays that hold at least the given element count.
// They allocate nothing, keep no state, raise nothing and never block, so any thread may call
// them on arrays it owns. Intermediate results are formed in extended precision (long double)
// and each stored value is rounded to a 64-bit float.
#pragma once

#include <cstdint>

// One complex number; arrays of it are contiguous.
struct TComplexValue {
    double Re;
    double Im;
};

// Radix-2 transform of Data[0 .. N-1] in place, in natural order (bin 0 first). Direction 1 is
// the forward transform, scaled by 1/N; any other value is the inverse transform, unscaled. N must
// be a power of two; any other N (0, negative, 6, ...) leaves Data unchanged.
void FourierTransform(TComplexValue* Data, int32_t N, int32_t Direction);

// Table[i] := (1 - cos(i * 6.28318530718 / D)) / 2 for i = 0 .. N-1, where D is N - 1 when
// Symmetric and N otherwise. A symmetric window of one entry (D = 0) is the single value 1.
void FillHannWindow(double* Table, int32_t N, bool Symmetric);

// Data[i] := Window[i] * Data[i] for i = 0 .. Count-1.
void ApplyWindow(const double* Window, double* Data, int32_t Count);

// Target[i] := log10 |Source[i]| + Offset, or 0 where the magnitude is 0 or the result is
// negative.
void LogMagnitudes(const TComplexValue* Source, double* Target, int32_t Count, int32_t Offset);
