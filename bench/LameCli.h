// The outside reference: the `lame` command-line encoder, when it is installed, encoding the same
// raw PCM at the same constant bit rate. Owning (main) thread; each call blocks until the child
// process has ended.
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
