#include "Mp3Check.h"

#include <cmath>
#include <cstring>
#include <mpg123.h>

namespace {

mpg123_handle* OpenDecoder(const std::string& Path, TMp3Decoded& Result)
{
    int Error = MPG123_OK;
    mpg123_handle* Handle = mpg123_new(nullptr, &Error);
    if (!Handle) {
        Result.Error = mpg123_plain_strerror(Error);
        return nullptr;
    }
    mpg123_param(Handle, MPG123_REMOVE_FLAGS, MPG123_GAPLESS, 0);
    mpg123_param(Handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
    // 16-bit output, so that the decoded bytes count samples.
    mpg123_format_none(Handle);
    const long* Rates = nullptr;
    size_t RateCount = 0;
    mpg123_rates(&Rates, &RateCount);
    for (size_t Index = 0; Index < RateCount; ++Index)
        mpg123_format(Handle, Rates[Index], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (mpg123_open(Handle, Path.c_str()) != MPG123_OK) {
        Result.Error = mpg123_strerror(Handle);
        mpg123_delete(Handle);
        return nullptr;
    }
    return Handle;
}

} // namespace

TMp3Decoded DecodeMp3File(const std::string& Path)
{
    TMp3Decoded Result;
    mpg123_init();
    mpg123_handle* Handle = OpenDecoder(Path, Result);
    if (!Handle)
        return Result;
    int64_t Rises = 0;
    bool Below = false;
    for (;;) {
        off_t FrameNumber = 0;
        unsigned char* Audio = nullptr;
        size_t Bytes = 0;
        const int Status = mpg123_decode_frame(Handle, &FrameNumber, &Audio, &Bytes);
        if (Status == MPG123_NEW_FORMAT) {
            int Encoding = 0;
            mpg123_getformat(Handle, &Result.SampleRate, &Result.Channels, &Encoding);
            continue;
        }
        if (Status == MPG123_DONE) {
            Result.Ok = Result.Frames > 0;
            if (!Result.Ok)
                Result.Error = "the file holds no sound";
            break;
        }
        if (Status != MPG123_OK) {
            Result.Error = mpg123_strerror(Handle);
            break;
        }
        mpg123_frameinfo Info{};
        mpg123_info(Handle, &Info);
        ++Result.FramesByBitRate[Info.bitrate];
        if (Result.Channels > 0) {
            const size_t Frames = Bytes / (2 * static_cast<size_t>(Result.Channels));
            for (size_t Frame = 0; Frame < Frames; ++Frame) {
                int16_t Sample;
                std::memcpy(&Sample, Audio + Frame * 2 * Result.Channels, 2);
                Result.FirstChannel.push_back(Sample);
                if (Sample < -3277)
                    Below = true;
                else if (Sample > 3277 && Below) {
                    Below = false;
                    ++Rises;
                }
            }
            Result.Frames += static_cast<int64_t>(Frames);
        }
    }
    if (Result.Frames > 0 && Result.SampleRate > 0)
        Result.ToneHz = static_cast<double>(Rises) * Result.SampleRate / Result.Frames;
    mpg123_close(Handle);
    mpg123_delete(Handle);
    return Result;
}

double ToneAmplitude(const std::vector<int16_t>& Samples, long Rate, double Hz)
{
    if (Samples.empty() || Rate <= 0)
        return 0;
    const double Step = 2 * M_PI * Hz / static_cast<double>(Rate);
    double Real = 0;
    double Imaginary = 0;
    for (size_t Index = 0; Index < Samples.size(); ++Index) {
        Real += Samples[Index] * std::cos(Step * static_cast<double>(Index));
        Imaginary += Samples[Index] * std::sin(Step * static_cast<double>(Index));
    }
    return 2 * std::hypot(Real, Imaginary) / static_cast<double>(Samples.size());
}
