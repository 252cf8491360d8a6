// The simulated device's sound generator: writes a TSimulatedSignal in the opened format and keeps
// its place between buffers. Used by one device thread at a time.
#pragma once

#include "SimulatedWaveDevice.h"

#include <cstddef>
#include <cstdint>

class TSignalGenerator {
public:
    TSignalGenerator(TSimulatedSignal Signal, const TPcmFormat& Format);

    // Writes the next Bytes bytes of the signal: whole frames, then zeros for a partial frame.
    void Fill(uint8_t* Data, uint32_t Bytes);

private:
    int64_t NextSample() const;
    // Little-endian, FSampleBytes bytes.
    void Store(uint8_t* At, int64_t Sample) const;
    void FillPcm(uint8_t* Data, uint32_t Bytes);

    TSimulatedSignal FSignal;
    int FSampleBytes;
    int FBits;
    int FChannels;
    uint32_t FRate;
    uint64_t FFrame = 0;
    size_t FPcmOffset = 0;
};
