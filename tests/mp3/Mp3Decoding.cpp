#include "Mp3Decoding.h"

#include <cmath>
#include <cstdlib>
#include <memory>
#include <mpg123.h>
#include <numbers>
#include <stdexcept>
#include <string>

namespace {

struct TMpg123Deleter {
    void operator()(mpg123_handle* Handle) const
    {
        mpg123_close(Handle);
        mpg123_delete(Handle);
    }
};

std::unique_ptr<mpg123_handle, TMpg123Deleter> OpenDecoder(const std::string& FileName)
{
    int Error = MPG123_OK;
    std::unique_ptr<mpg123_handle, TMpg123Deleter> Handle(mpg123_new(nullptr, &Error));
    if (!Handle)
        throw std::runtime_error("mpg123_new failed");
    mpg123_param(Handle.get(), MPG123_REMOVE_FLAGS, MPG123_GAPLESS, 0);
    mpg123_param(Handle.get(), MPG123_ADD_FLAGS, MPG123_QUIET, 0);
    mpg123_format_none(Handle.get());
    const long* Rates = nullptr;
    std::size_t RateCount = 0;
    mpg123_rates(&Rates, &RateCount);
    for (std::size_t I = 0; I < RateCount; ++I)
        mpg123_format(Handle.get(), Rates[I], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (mpg123_open(Handle.get(), FileName.c_str()) != MPG123_OK)
        throw std::runtime_error("mpg123 cannot open " + FileName);
    return Handle;
}

// A span of one channel that the decoded sound does not hold fails the test that asked for it,
// rather than reading past the samples.
void RequireSpan(const TDecodedMp3& Sound, int Channel, std::size_t First, std::size_t Count)
{
    if (Channel < 0 || Channel >= Sound.Channels || First + Count > Sound.FramesPerChannel())
        throw std::out_of_range("channel " + std::to_string(Channel) + ", frames "
            + std::to_string(First) + " + " + std::to_string(Count) + " of a decoded sound of "
            + std::to_string(Sound.Channels) + " channels and "
            + std::to_string(Sound.FramesPerChannel()) + " frames");
}

} // namespace

TDecodedMp3 DecodeMp3(const std::string& FileName)
{
    TDecodedMp3 Sound;
    auto Handle = OpenDecoder(FileName);
    for (;;) {
        off_t FrameNumber = 0;
        unsigned char* Audio = nullptr;
        std::size_t Bytes = 0;
        const int Result = mpg123_decode_frame(Handle.get(), &FrameNumber, &Audio, &Bytes);
        if (Result == MPG123_NEW_FORMAT) {
            int Encoding = 0;
            mpg123_getformat(Handle.get(), &Sound.SampleRate, &Sound.Channels, &Encoding);
            continue;
        }
        if (Result == MPG123_DONE) {
            Sound.Clean = true;
            break;
        }
        if (Result != MPG123_OK)
            break;
        mpg123_frameinfo Info{};
        mpg123_info(Handle.get(), &Info);
        ++Sound.FramesByBitRate[Info.bitrate];
        ++Sound.Frames;
        const auto* Samples = reinterpret_cast<const int16_t*>(Audio);
        Sound.Samples.insert(Sound.Samples.end(), Samples, Samples + Bytes / 2);
    }
    return Sound;
}

double ToneAmplitude(
    const TDecodedMp3& Sound, int Channel, double Frequency, std::size_t First, std::size_t Count)
{
    RequireSpan(Sound, Channel, First, Count);
    const double Omega = 2 * std::numbers::pi * Frequency / Sound.SampleRate;
    const double Coefficient = 2 * std::cos(Omega);
    double Previous = 0, BeforePrevious = 0;
    for (std::size_t Frame = First; Frame < First + Count; ++Frame) {
        const double Sample = Sound.Samples[Frame * Sound.Channels + Channel];
        const double Current = Sample + Coefficient * Previous - BeforePrevious;
        BeforePrevious = Previous;
        Previous = Current;
    }
    const double Power = Previous * Previous + BeforePrevious * BeforePrevious
        - Coefficient * Previous * BeforePrevious;
    return 2 * std::sqrt(std::max(Power, 0.0)) / static_cast<double>(Count);
}

double Rms(const TDecodedMp3& Sound, int Channel, std::size_t First, std::size_t Count)
{
    RequireSpan(Sound, Channel, First, Count);
    double Sum = 0;
    for (std::size_t Frame = First; Frame < First + Count; ++Frame) {
        const double Sample = Sound.Samples[Frame * Sound.Channels + Channel];
        Sum += Sample * Sample;
    }
    return std::sqrt(Sum / static_cast<double>(Count));
}

int MaxChannelDifference(const TDecodedMp3& Sound)
{
    if (Sound.Channels != 2)
        throw std::invalid_argument("a decoded sound of " + std::to_string(Sound.Channels)
            + " channels has no left and right to compare");
    int Largest = 0;
    for (std::size_t Frame = 0; Frame < Sound.FramesPerChannel(); ++Frame)
        Largest
            = std::max(Largest, std::abs(Sound.Samples[Frame * 2] - Sound.Samples[Frame * 2 + 1]));
    return Largest;
}
