// The outside references: command-line encoders, when they are installed, encoding the same raw
// PCM at the same constant bit rate, each timed as a whole process from its start to its end:
// the `lame` encoder (Debian package lame) and ffmpeg with its libmp3lame encoder (Debian
// package ffmpeg). Owning (main) thread; each call blocks until the child process has ended.
#pragma once

#include <cstdint>
#include <string>

namespace LameCli {

// The first line of `lame --version`, or empty when no `lame` is on the PATH.
std::string Version();

// Encodes the raw 16-bit little-endian stereo file RawFile at SampleRate and Kbps (joint stereo,
// constant bit rate) into Mp3File; returns the wall time in seconds. Raises std::runtime_error
// when the encoder cannot be started or fails.
double Encode(const std::string& RawFile, int32_t SampleRate, int Kbps, const std::string& Mp3File);

} // namespace LameCli

namespace FfmpegCli {

// The first line of `ffmpeg -version`, or empty when no `ffmpeg` is on the PATH.
std::string Version();

// As LameCli::Encode, with ffmpeg reading the raw PCM from its standard input
// (-f s16le -ar RATE -ac 2 -i - -c:a libmp3lame -b:a KBPSk).
double Encode(const std::string& RawFile, int32_t SampleRate, int Kbps, const std::string& Mp3File);

} // namespace FfmpegCli
