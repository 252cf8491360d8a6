#include "MixFormatConverter.h"

#include "WaveDevice.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

namespace {

// The platform's speaker bits.
enum : uint32_t {
    FrontLeft = 0x1,
    FrontRight = 0x2,
    FrontCentre = 0x4,
    LowFrequency = 0x8,
    BackLeft = 0x10,
    BackRight = 0x20,
    FrontLeftOfCentre = 0x40,
    FrontRightOfCentre = 0x80,
    BackCentre = 0x100,
    SideLeft = 0x200,
    SideRight = 0x400,
    TopCentre = 0x800,
    TopFrontLeft = 0x1000,
    TopFrontCentre = 0x2000,
    TopFrontRight = 0x4000,
    TopBackLeft = 0x8000,
    TopBackCentre = 0x10000,
    TopBackRight = 0x20000,
};

constexpr float Minus3dB = 0.70710678f;
constexpr float Minus6dB = 0.5f;

// The usual speakers of a channel count, as the platform lays out its standard configurations.
uint32_t UsualMask(uint16_t Channels)
{
    switch (Channels) {
    case 1:
        return FrontCentre;
    case 2:
        return FrontLeft | FrontRight;
    case 3:
        return FrontLeft | FrontRight | FrontCentre;
    case 4:
        return FrontLeft | FrontRight | BackLeft | BackRight;
    case 5:
        return FrontLeft | FrontRight | FrontCentre | BackLeft | BackRight;
    case 6:
        return FrontLeft | FrontRight | FrontCentre | LowFrequency | BackLeft | BackRight;
    case 8:
        return FrontLeft | FrontRight | FrontCentre | LowFrequency | BackLeft | BackRight | SideLeft
            | SideRight;
    default:
        return 0;
    }
}

struct TWeights {
    float Left;
    float Right;
};

TWeights WeightsOf(uint32_t Speaker)
{
    switch (Speaker) {
    case FrontLeft:
        return { 1, 0 };
    case FrontRight:
        return { 0, 1 };
    case FrontCentre:
        return { Minus3dB, Minus3dB };
    case BackCentre:
    case TopCentre:
    case TopFrontCentre:
    case TopBackCentre:
        return { Minus6dB, Minus6dB };
    case BackLeft:
    case FrontLeftOfCentre:
    case SideLeft:
    case TopFrontLeft:
    case TopBackLeft:
        return { Minus3dB, 0 };
    case BackRight:
    case FrontRightOfCentre:
    case SideRight:
    case TopFrontRight:
    case TopBackRight:
        return { 0, Minus3dB };
    default: // the low-frequency channel, and positions the platform reserves
        return { 0, 0 };
    }
}

uint32_t SampleBytesOf(TSampleKind Kind)
{
    switch (Kind) {
    case TSampleKind::Int16:
        return 2;
    case TSampleKind::Int24:
        return 3;
    case TSampleKind::Int32:
    case TSampleKind::Float32:
        return 4;
    }
    return 0;
}

int16_t ToInt16(float Value)
{
    const float Scaled = Value * 32768.0f;
    if (Scaled >= 32767.0f)
        return 32767;
    if (Scaled <= -32768.0f)
        return -32768;
    return static_cast<int16_t>(std::lrint(Scaled));
}

} // namespace

TMixFormat MixFormatOf(uint16_t FormatTag, uint16_t Channels, uint32_t SamplesPerSec,
    uint16_t BitsPerSample, uint16_t SubFormatTag, uint32_t ChannelMask)
{
    constexpr uint16_t Pcm = 1, IeeeFloat = 3, Extensible = 0xFFFE;
    const uint16_t Tag = FormatTag == Extensible ? SubFormatTag : FormatTag;
    TMixFormat Format{ SamplesPerSec, Channels, TSampleKind::Float32,
        FormatTag == Extensible ? ChannelMask : 0 };
    if (Tag == IeeeFloat && BitsPerSample == 32)
        return Format;
    if (Tag == Pcm && (BitsPerSample == 16 || BitsPerSample == 24 || BitsPerSample == 32)) {
        Format.Kind = BitsPerSample == 16 ? TSampleKind::Int16
            : BitsPerSample == 24         ? TSampleKind::Int24
                                          : TSampleKind::Int32;
        return Format;
    }
    throw EWaveDeviceError("The output's mix format cannot be recorded: format tag "
        + std::to_string(Tag) + ", " + std::to_string(BitsPerSample) + " bits per sample");
}

TMixFormatConverter::TMixFormatConverter(const TMixFormat& In, uint32_t OutRate)
    : FIn(In)
    , FOutRate(OutRate)
    , FSampleBytes(SampleBytesOf(In.Kind))
    , FFrameBytes(FSampleBytes * In.Channels)
    , FToLeft(In.Channels, 0.0f)
    , FToRight(In.Channels, 0.0f)
{
    if (In.Channels == 0 || In.SamplesPerSec == 0 || OutRate == 0)
        throw EWaveDeviceError("Cannot convert " + std::to_string(In.Channels) + " channels at "
            + std::to_string(In.SamplesPerSec) + " Hz to stereo at " + std::to_string(OutRate)
            + " Hz");
    if (In.Channels == 1) {
        FToLeft[0] = FToRight[0] = 1;
        return;
    }
    const uint32_t Mask = In.ChannelMask != 0 ? In.ChannelMask : UsualMask(In.Channels);
    uint32_t Rest = Mask;
    for (uint16_t Channel = 0; Channel < In.Channels; ++Channel) {
        TWeights Weights{ Channel % 2 == 0 ? 1.0f : 0.0f, Channel % 2 == 0 ? 0.0f : 1.0f };
        if (Mask != 0) {
            // Channels past the mask's speakers have no position and are left out.
            const uint32_t Speaker = Rest & (~Rest + 1);
            Rest &= ~Speaker;
            Weights = WeightsOf(Speaker);
        }
        FToLeft[Channel] = Weights.Left;
        FToRight[Channel] = Weights.Right;
    }
}

uint32_t TMixFormatConverter::MaxOutputFrames(uint32_t InFrames) const
{
    return static_cast<uint32_t>(
        (uint64_t{ InFrames } * FOutRate + FIn.SamplesPerSec - 1) / FIn.SamplesPerSec + 1);
}

float TMixFormatConverter::SampleAt(const uint8_t* At) const
{
    switch (FIn.Kind) {
    case TSampleKind::Int16: {
        int16_t Value;
        std::memcpy(&Value, At, 2);
        return float(Value) / 32768.0f;
    }
    case TSampleKind::Int24: {
        const int32_t Value
            = int32_t(uint32_t(At[0]) << 8 | uint32_t(At[1]) << 16 | uint32_t(At[2]) << 24) >> 8;
        return float(Value) / 8388608.0f;
    }
    case TSampleKind::Int32: {
        int32_t Value;
        std::memcpy(&Value, At, 4);
        return float(Value) / 2147483648.0f;
    }
    case TSampleKind::Float32: {
        float Value;
        std::memcpy(&Value, At, 4);
        // Kept within a range far past full scale, so that no sum or difference of samples
        // overflows; one that is not a number is silence.
        return std::isnan(Value) ? 0.0f : std::clamp(Value, -8.0f, 8.0f);
    }
    }
    return 0;
}

uint32_t TMixFormatConverter::Convert(
    const uint8_t* Data, uint32_t Frames, bool Silent, int16_t* Out)
{
    int16_t* const First = Out;
    for (uint32_t Frame = 0; Frame < Frames; ++Frame) {
        float Left = 0, Right = 0;
        if (!Silent) {
            const uint8_t* At = Data + size_t{ Frame } * FFrameBytes;
            for (uint16_t Channel = 0; Channel < FIn.Channels; ++Channel, At += FSampleBytes) {
                const float Sample = SampleAt(At);
                Left += Sample * FToLeft[Channel];
                Right += Sample * FToRight[Channel];
            }
        }
        Push(Left, Right, Out);
    }
    return static_cast<uint32_t>((Out - First) / 2);
}

void TMixFormatConverter::Push(float Left, float Right, int16_t*& Out)
{
    if (!FHavePrevious) {
        FHavePrevious = true;
        FPhase = 0;
    } else {
        for (; FPhase < FOutRate; FPhase += FIn.SamplesPerSec) {
            const float Part = float(FPhase) / float(FOutRate);
            *Out++ = ToInt16(FPreviousLeft + (Left - FPreviousLeft) * Part);
            *Out++ = ToInt16(FPreviousRight + (Right - FPreviousRight) * Part);
        }
        FPhase -= FOutRate;
    }
    FPreviousLeft = Left;
    FPreviousRight = Right;
}

void TMixFormatConverter::Restart()
{
    FHavePrevious = false;
    FPhase = 0;
}
