// Decodes a whole MP3 file with libmpg123, for checking what the window's sink wrote.
#pragma once

#include <cstdint>
#include <string>

struct TMp3Decoded {
    bool Ok = false; // decoded to the end without an error
    std::string Error;
    long SampleRate = 0;
    int Channels = 0;
    int64_t Frames = 0; // decoded sample frames (one sample per channel each)
};

TMp3Decoded DecodeMp3File(const std::string& Path);
