// Decoding of the sink's MP3 files with libmpg123, measurements of what is heard, and what the
// encoder is expected to make of a run.
#pragma once

#include "ACS_LAME.h"

#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

struct TDecodedMp3 {
    long SampleRate = 0;
    int Channels = 0;
    std::vector<int16_t> Samples; // interleaved
    std::map<int, int> FramesByBitRate; // kbit/s in the frame headers -> number of frames
    int Frames = 0;
    bool Clean = false; // decoded to its end without a decoder error

    std::size_t FramesPerChannel() const { return Channels ? Samples.size() / Channels : 0; }
};

// Decodes every frame of the file as it is, without gapless trimming, so that the encoder's
// delay and padding are part of the length.
TDecodedMp3 DecodeMp3(const std::string& FileName);

// The measurements below raise (and so fail the calling test) when the sound lacks the channel
// or the span of frames they are asked for.
// Amplitude of the Frequency component of one channel over Count frames from First (Goertzel).
double ToneAmplitude(
    const TDecodedMp3& Sound, int Channel, double Frequency, std::size_t First, std::size_t Count);
// Root mean square of one channel over the same span.
double Rms(const TDecodedMp3& Sound, int Channel, std::size_t First, std::size_t Count);
// Largest difference between the left and right sample of any frame of a two-channel sound.
int MaxChannelDifference(const TDecodedMp3& Sound);

inline double Decibels(double Ratio)
{
    return 20 * std::log10(Ratio);
}

// The encoder's delay (576 + 529 samples) and the padding of its last frames stay under three
// frames of 1152 samples.
inline constexpr std::size_t DelayAndPaddingBound = 3 * 1152;

// A decoded length of Frames input frames, plus at most one block of BlockFrames frames that the
// source may deliver beyond it, plus the encoder's delay and padding.
inline void ExpectLengthOf(const TDecodedMp3& Sound, std::size_t Frames, std::size_t BlockFrames)
{
    EXPECT_GE(Sound.FramesPerChannel(), Frames);
    EXPECT_LE(Sound.FramesPerChannel(), Frames + BlockFrames + DelayAndPaddingBound);
}

// A 1 kHz tone of Amplitude on Channel, within 1 dB, with little else beside it.
inline void ExpectTone(
    const TDecodedMp3& Sound, int Channel, double Amplitude, std::size_t From, std::size_t Count)
{
    const double Heard = ToneAmplitude(Sound, Channel, 1000, From, Count);
    EXPECT_NEAR(Decibels(Heard / Amplitude), 0.0, 1.0) << "channel " << Channel;
    const double Total = Rms(Sound, Channel, From, Count);
    const double Rest = std::sqrt(std::max(0.0, Total * Total - Heard * Heard / 2));
    EXPECT_LT(Rest, Amplitude / 20) << "channel " << Channel << " is not a pure 1 kHz tone";
}

// The rate heard in the frame headers: the chosen one, except where it does not exist at the
// stream's sample rate (below 32 and 144 kbit/s in MPEG-1, above 160 kbit/s in MPEG-2), where
// the encoder substitutes 32, 128 and 160.
inline int EncoderSubstitute(int SampleRate, TMP3BitRate BitRate)
{
    const int Kbps = MP3BitRateKbps(BitRate);
    if (SampleRate == 44100 && Kbps < 32)
        return 32;
    if (SampleRate == 44100 && Kbps == 144)
        return 128;
    if (SampleRate == 22050 && Kbps > 160)
        return 160;
    return Kbps;
}
