// What the encoder is expected to make of a run, and the checks of what a decoded file holds.
#pragma once

#include "ACS_LAME.h"
#include "Mp3Decoding.h"

#include <gtest/gtest.h>

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
inline void ExpectTone(const TDecodedMp3& Sound, int Channel, double Amplitude, std::size_t From,
                       std::size_t Count)
{
    const double Heard = ToneAmplitude(Sound, Channel, 1000, From, Count);
    EXPECT_NEAR(Decibels(Heard / Amplitude), 0.0, 1.0) << "channel " << Channel;
    const double Total = Rms(Sound, Channel, From, Count);
    const double Rest = std::sqrt(std::max(0.0, Total * Total - Heard * Heard / 2));
    EXPECT_LT(Rest, Amplitude / 20) << "channel " << Channel << " is not a pure 1 kHz tone";
}

// The rate heard in the frame headers: the chosen one, except where it does not exist at the
// stream's sample rate (144 kbit/s in MPEG-1, above 160 kbit/s in MPEG-2), where the encoder
// substitutes 128 and 160.
inline int EncoderSubstitute(int SampleRate, TMP3BitRate BitRate)
{
    const int Kbps = MP3BitRateKbps(BitRate);
    if (SampleRate == 44100 && Kbps == 144)
        return 128;
    if (SampleRate == 22050 && Kbps > 160)
        return 160;
    return Kbps;
}

// With its default settings the encoder keeps the input's sample rate from 112 kbit/s at 44100 Hz
// and from 48 kbit/s at 22050 Hz; below that it encodes at a lower sample rate.
inline bool EncoderKeepsSampleRate(int SampleRate, TMP3BitRate BitRate)
{
    return MP3BitRateKbps(BitRate) >= (SampleRate == 44100 ? 112 : 48);
}
