#include "SimulatedSignalGenerator.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <numbers>

// ---------------------------------------------------------------------------------------------
// TSimulatedSignal

TSimulatedSignal TSimulatedSignal::Constant(int32_t Value)
{
    TSimulatedSignal Signal;
    Signal.Kind = skConstant;
    Signal.Value = Value;
    return Signal;
}

TSimulatedSignal TSimulatedSignal::Sine(double Frequency, double Amplitude)
{
    TSimulatedSignal Signal;
    Signal.Kind = skSine;
    Signal.Frequency = Frequency;
    Signal.Amplitude = Amplitude;
    return Signal;
}

TSimulatedSignal TSimulatedSignal::PcmData(std::vector<uint8_t> Bytes)
{
    if (Bytes.empty())
        throw EWaveDeviceError("The simulated PCM signal has no bytes");
    TSimulatedSignal Signal;
    Signal.Kind = skPcm;
    Signal.Pcm = std::make_shared<const std::vector<uint8_t>>(std::move(Bytes));
    return Signal;
}

TSimulatedSignal TSimulatedSignal::PcmFile(const std::string& Path)
{
    std::ifstream File(Path, std::ios::binary);
    if (!File)
        throw EWaveDeviceError("Cannot read the PCM file \"" + Path + "\"");
    std::vector<uint8_t> Bytes(
        (std::istreambuf_iterator<char>(File)), std::istreambuf_iterator<char>());
    return PcmData(std::move(Bytes));
}

// ---------------------------------------------------------------------------------------------
// TSignalGenerator

TSignalGenerator::TSignalGenerator(TSimulatedSignal Signal, const TPcmFormat& Format)
    : FSignal(std::move(Signal))
    , FSampleBytes(std::max(1, (Format.BitsPerSample + 7) / 8))
    , FBits(Format.BitsPerSample)
    , FChannels(std::max<int>(1, Format.Channels))
    , FRate(Format.SamplesPerSec)
{
}

void TSignalGenerator::Fill(uint8_t* Data, uint32_t Bytes)
{
    if (FSignal.Kind == TSimulatedSignal::skPcm) {
        FillPcm(Data, Bytes);
        return;
    }
    const uint32_t FrameBytes = FSampleBytes * FChannels;
    uint32_t At = 0;
    for (; At + FrameBytes <= Bytes; ++FFrame) {
        const int64_t Sample = NextSample();
        for (int C = 0; C < FChannels; ++C, At += FSampleBytes)
            Store(Data + At, Sample);
    }
    std::memset(Data + At, 0, Bytes - At);
}

int64_t TSignalGenerator::NextSample() const
{
    const int64_t Full = FBits <= 8 ? 127 : (int64_t{ 1 } << (std::min(FBits, 32) - 1)) - 1;
    switch (FSignal.Kind) {
    case TSimulatedSignal::skConstant:
        return FSignal.Value;
    case TSimulatedSignal::skSine: {
        const double Phase = 2.0 * std::numbers::pi * FSignal.Frequency
            * static_cast<double>(FFrame) / std::max(1u, FRate);
        const auto Value = std::lround(FSignal.Amplitude * Full * std::sin(Phase));
        return FBits <= 8 ? Value + 128 : Value;
    }
    default:
        return FBits <= 8 ? 128 : 0; // silence
    }
}

void TSignalGenerator::Store(uint8_t* At, int64_t Sample) const
{
    const auto Bits = static_cast<uint64_t>(Sample);
    for (int B = 0; B < FSampleBytes; ++B)
        At[B] = static_cast<uint8_t>(Bits >> (8 * B));
}

void TSignalGenerator::FillPcm(uint8_t* Data, uint32_t Bytes)
{
    const std::vector<uint8_t>& Pcm = *FSignal.Pcm;
    for (uint32_t At = 0; At < Bytes;) {
        const size_t Run = std::min<size_t>(Bytes - At, Pcm.size() - FPcmOffset);
        std::memcpy(Data + At, Pcm.data() + FPcmOffset, Run);
        At += static_cast<uint32_t>(Run);
        FPcmOffset = (FPcmOffset + Run) % Pcm.size();
    }
}
