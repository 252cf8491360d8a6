// Decodes a whole MP3 file with libmpg123, for checking what the window's sink wrote.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

struct TMp3Decoded {
    bool Ok = false; // decoded to the end without an error
    std::string Error;
    long SampleRate = 0;
    int Channels = 0;
    int64_t Frames = 0; // decoded sample frames (one sample per channel each)
    std::map<int, int> FramesByBitRate; // kbit/s in the MP3 frame headers -> MP3 frames
    // The tone of the first channel: its rises through zero (past a tenth of full scale on
    // either side, so that the encoder's quiet start counts none) per second of the whole file.
    // Nothing where the check does not decode the sound (Windows).
    std::optional<double> ToneHz;
    // The samples of the first channel, for measuring which tones the file holds. Empty where the
    // check does not decode the sound.
    std::vector<int16_t> FirstChannel;
};

// The amplitude of the tone of Hz in Samples at Rate (a single-bin Fourier transform over the
// whole stretch, in the samples' own units): a sine of amplitude A at Hz measures A, a tone more
// than a few hertz away next to nothing over a stretch of seconds.
double ToneAmplitude(const std::vector<int16_t>& Samples, long Rate, double Hz);

// Every MP3 frame counts, without gapless trimming: the encoder's delay and padding are part of
// the length.
TMp3Decoded DecodeMp3File(const std::string& Path);
