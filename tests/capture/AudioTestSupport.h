// Shared setup of the capture tests: a fresh simulated card for every test and a byte pattern
// whose position shows in every byte, so that lost, doubled or reordered bytes are seen.
#pragma once

#include "ACS_Audio.h"
#include "SimulatedWaveDevice.h"

#include <cstdint>
#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace AudioTestSupport {

// Byte n is n mod 251; 251 is prime, so the pattern never lines up with a buffer boundary.
// The window's recording format as a device opens it: 16-bit stereo at 44100 Hz.
inline TPcmFormat CdFormat()
{
    TPcmFormat Format;
    Format.Channels = 2;
    Format.SamplesPerSec = 44100;
    Format.BlockAlign = 4;
    Format.AvgBytesPerSec = 176400;
    Format.BitsPerSample = 16;
    return Format;
}

inline uint8_t PatternByte(uint64_t Offset)
{
    return static_cast<uint8_t>(Offset % 251);
}

inline std::vector<uint8_t> Pattern(size_t Bytes)
{
    std::vector<uint8_t> Data(Bytes);
    for (size_t N = 0; N < Bytes; ++N)
        Data[N] = PatternByte(N);
    return Data;
}

// Index of the first byte of Data that breaks the pattern from Offset on, or Data.size().
inline size_t FirstPatternBreak(const std::vector<uint8_t>& Data, uint64_t Offset = 0)
{
    for (size_t N = 0; N < Data.size(); ++N)
        if (Data[N] != PatternByte(Offset + N))
            return N;
    return Data.size();
}

// The message of the EACSException that Action raises.
inline std::string MessageOf(const std::function<void()>& Action)
{
    try {
        Action();
    } catch (const EACSException& E) {
        return E.what();
    }
    return "(nothing raised)";
}

// A test on its own simulated card, flat out and playing the pattern, installed in the unit.
class SimulatedCardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Card->SetPacing(TSimulatedPacing::FlatOut);
        Card->SetSignal(TSimulatedSignal::PcmData(Pattern(251 * 16384)));
        UseWaveBackend(Card);
    }

    // The window's recording format: 16-bit stereo.
    static void SetCdFormat(TAudioIn& AudIn, int32_t Rate, int32_t Seconds)
    {
        AudIn.InBitsPerSample = 16;
        AudIn.InChannels = 2;
        AudIn.InSampleRate = Rate;
        AudIn.RecTime = Seconds;
    }

    std::shared_ptr<TSimulatedWaveBackend> Card = std::make_shared<TSimulatedWaveBackend>();
};

} // namespace AudioTestSupport
