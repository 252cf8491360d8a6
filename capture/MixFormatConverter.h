// Turns the sound of a shared audio engine's mix format (any channel count; 16-, 24- or 32-bit
// integer or 32-bit float samples; any rate) into the recording's 16-bit stereo at the
// recording's rate, for the loopback capture of what the computer plays.
//
// Each input frame is first mixed down to a left and a right value by the speaker positions of
// its channels: the front pair as they are, the centre and the centres above and behind into both
// sides at -3 dB (-6 dB for those behind and above), the other side and rear speakers into their
// side at -3 dB, the low-frequency channel left out; a mono input goes into both sides at full
// level. The sums are not scaled down, so that the usual stereo sound on a surround output keeps
// its level; a sum past full scale is clipped (and counted as a clip by the level indicator).
//
// Then the rate: output frame n lies at input position n * InRate / OutRate, between two input
// frames, and takes the straight line between them (linear interpolation). The position advances
// in whole steps of 1 / OutRate (no rounding, no drift), and the last input frame and the
// position's remainder are kept between packets, so that a sound converted packet by packet is
// the same, sample for sample, as the sound converted at once; the cost is that the last input
// frame of a packet waits for the next one. Linear interpolation lets a little of the sound above
// the output's upper band edge fold back (48000 -> 22050 Hz: above 11025 Hz) at a reduced level.
//
// Samples become 16-bit by scaling to 32768, rounding to the nearest and clipping to the range;
// a float that is not a number becomes silence, an infinite one full scale.
//
// One thread at a time; no allocation after construction.
#pragma once

#include <cstdint>
#include <vector>

enum class TSampleKind : uint8_t {
    Int16, // signed little-endian, 2 bytes
    Int24, // signed little-endian, 3 bytes
    Int32, // signed little-endian, 4 bytes (also 24 valid bits in a 32-bit container)
    Float32, // IEEE single, full scale at 1.0
};

struct TMixFormat {
    uint32_t SamplesPerSec = 0;
    uint16_t Channels = 0;
    TSampleKind Kind = TSampleKind::Float32;
    // The speaker of each channel, in the platform's speaker bits (front left 0x1, front right
    // 0x2, front centre 0x4, ...), channel by channel from the lowest bit set; 0 for the usual
    // positions of the channel count.
    uint32_t ChannelMask = 0;
};

// The mix format that the fields of a platform wave format describe: FormatTag 1 (PCM), 3 (IEEE
// float) or 0xFFFE (extensible, whose SubFormatTag is 1 or 3 and whose ChannelMask counts).
// Raises EWaveDeviceError naming the format when it is none that the converter reads.
TMixFormat MixFormatOf(uint16_t FormatTag, uint16_t Channels, uint32_t SamplesPerSec,
    uint16_t BitsPerSample, uint16_t SubFormatTag, uint32_t ChannelMask);

class TMixFormatConverter {
public:
    // Raises EWaveDeviceError for a format without channels or rate, or an output rate of 0.
    TMixFormatConverter(const TMixFormat& In, uint32_t OutRate);

    // Bytes of one input frame.
    uint32_t InFrameBytes() const { return FFrameBytes; }
    // The most output frames that a packet of InFrames input frames can make.
    uint32_t MaxOutputFrames(uint32_t InFrames) const;
    // Converts Frames input frames at Data (not read when Silent: the frames are silence) into
    // interleaved left/right 16-bit samples at Out, which has room for MaxOutputFrames(Frames)
    // frames; returns the number of frames written.
    uint32_t Convert(const uint8_t* Data, uint32_t Frames, bool Silent, int16_t* Out);
    // Forgets the kept frame, as after construction: the next sound is not joined to the last.
    void Restart();

private:
    float SampleAt(const uint8_t* At) const;
    void Push(float Left, float Right, int16_t*& Out);

    const TMixFormat FIn;
    const uint32_t FOutRate;
    uint32_t FSampleBytes = 0;
    uint32_t FFrameBytes = 0;
    std::vector<float> FToLeft; // each channel's weight in the left output
    std::vector<float> FToRight;
    bool FHavePrevious = false;
    float FPreviousLeft = 0;
    float FPreviousRight = 0;
    // The next output frame's position after the kept frame, in steps of 1 / OutRate.
    uint64_t FPhase = 0;
};
