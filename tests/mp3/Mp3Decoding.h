// Decoding of the sink's MP3 files with libmpg123, and measurements of what is heard.
#pragma once

#include <cmath>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct TDecodedMp3 {
    long SampleRate = 0;
    int Channels = 0;
    std::vector<int16_t> Samples;      // interleaved
    std::map<int, int> FramesByBitRate;  // kbit/s in the frame headers -> number of frames
    int Frames = 0;
    bool Clean = false;                // decoded to its end without a decoder error

    std::size_t FramesPerChannel() const { return Channels ? Samples.size() / Channels : 0; }
};

// Decodes every frame of the file as it is, without gapless trimming, so that the encoder's
// delay and padding are part of the length.
TDecodedMp3 DecodeMp3(const std::string& FileName);

// Amplitude of the Frequency component of one channel over Count frames from First (Goertzel).
double ToneAmplitude(const TDecodedMp3& Sound, int Channel, double Frequency, std::size_t First,
                     std::size_t Count);
// Root mean square of one channel over the same span.
double Rms(const TDecodedMp3& Sound, int Channel, std::size_t First, std::size_t Count);
// Largest difference between the left and right sample of any frame.
int MaxChannelDifference(const TDecodedMp3& Sound);

inline double Decibels(double Ratio) { return 20 * std::log10(Ratio); }
