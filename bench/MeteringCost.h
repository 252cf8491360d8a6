// The level indicator's cost per 16384-byte block: its GetData driven over a source that hands
// out the benchmark's PCM from memory, less the cost of reading that source alone.
//
// Builds its own indicator and source; any one thread, nothing to wait for.
#pragma once

#include "TestSignal.h"

#include <cstdint>

struct TMeteringResult {
    double MicrosPerBlock = 0.0; // the indicator's own work: measured minus the source
    double SourceMicrosPerBlock = 0.0; // the memory source read alone
    int64_t Blocks = 0;
};

// Reads Blocks blocks through an indicator, then the same blocks from the source alone.
TMeteringResult MeasureMetering(const TBenchPcm& Pcm, int64_t Blocks);
