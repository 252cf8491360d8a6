// The ALSA backend's format negotiation: the sample formats, and the standard formats and
// channels a device accepts.
#include "AlsaPcm.h"
#include "DebugLog.h"

#include <algorithm>

namespace Alsa {

snd_pcm_format_t SampleFormat(uint16_t BitsPerSample)
{
    switch (BitsPerSample) {
    case 8:
        return SND_PCM_FORMAT_U8;
    case 16:
        return SND_PCM_FORMAT_S16_LE;
    case 24:
        return SND_PCM_FORMAT_S24_3LE;
    case 32:
        return SND_PCM_FORMAT_S32_LE;
    default:
        return SND_PCM_FORMAT_UNKNOWN;
    }
}

namespace {

constexpr unsigned RingMicroseconds = 1000000;
constexpr unsigned PeriodMicroseconds = 50000;

void Check(int Result, const std::string& What)
{
    if (Result < 0)
        throw EWaveDeviceError(AlsaError(What, Result));
}

// Platform format bits of the standard formats that an open PCM accepts.
uint32_t AcceptedFormats(snd_pcm_t* Pcm)
{
    snd_pcm_hw_params_t* Any;
    snd_pcm_hw_params_t* Trial;
    snd_pcm_hw_params_alloca(&Any);
    snd_pcm_hw_params_alloca(&Trial);
    if (snd_pcm_hw_params_any(Pcm, Any) < 0)
        return 0;
    uint32_t Formats = 0;
    for (unsigned Rate : { 11025u, 22050u, 44100u })
        for (uint16_t Channels : { 1, 2 })
            for (uint16_t Bits : { 8, 16 }) {
                snd_pcm_hw_params_copy(Trial, Any);
                if (snd_pcm_hw_params_set_access(Pcm, Trial, SND_PCM_ACCESS_RW_INTERLEAVED) >= 0
                    && snd_pcm_hw_params_set_format(Pcm, Trial, SampleFormat(Bits)) >= 0
                    && snd_pcm_hw_params_set_channels(Pcm, Trial, Channels) >= 0
                    && snd_pcm_hw_params_test_rate(Pcm, Trial, Rate, 0) >= 0)
                    Formats |= PlatformFormatBit(Rate, Channels, Bits);
            }
    return Formats;
}

} // namespace

TWaveCaps QueryCaps(const TAlsaDevice& Device, snd_pcm_stream_t Stream)
{
    TPcmHandle Pcm;
    if (int Error = Pcm.Open(Device.Pcm, Stream, SND_PCM_NONBLOCK); Error < 0)
        throw EWaveDeviceError(AlsaError("Cannot open \"" + Device.Pcm + "\"", Error));
    DebugLog("ALSA: \"" + Device.Pcm + "\" opened to probe its formats");
    TWaveCaps Caps;
    Caps.Name = Device.Name;
    Caps.DriverVersion = (SND_LIB_MAJOR << 8) | SND_LIB_MINOR;
    Caps.Formats = AcceptedFormats(Pcm.Get());
    snd_pcm_hw_params_t* Params;
    snd_pcm_hw_params_alloca(&Params);
    unsigned MaxChannels = 0;
    if (snd_pcm_hw_params_any(Pcm.Get(), Params) >= 0)
        snd_pcm_hw_params_get_channels_max(Params, &MaxChannels);
    Caps.Channels = static_cast<uint16_t>(std::min(MaxChannels, 2u)); // 1 mono, 2 stereo
    return Caps;
}

// The ring holds about a second, so that scheduling jitter of a few hundred milliseconds loses
// nothing; the device wakes the reader every 50 ms.
snd_pcm_uframes_t ConfigureCapture(snd_pcm_t* Pcm, const TPcmFormat& Format)
{
    const snd_pcm_format_t Sample = SampleFormat(Format.BitsPerSample);
    if (Sample == SND_PCM_FORMAT_UNKNOWN)
        throw EWaveDeviceError(
            "Unsupported sample size of " + std::to_string(Format.BitsPerSample) + " bits");
    snd_pcm_hw_params_t* Hw;
    snd_pcm_hw_params_alloca(&Hw);
    unsigned Ring = RingMicroseconds;
    unsigned Period = PeriodMicroseconds;
    Check(snd_pcm_hw_params_any(Pcm, Hw), "Cannot read the device's parameters");
    Check(snd_pcm_hw_params_set_access(Pcm, Hw, SND_PCM_ACCESS_RW_INTERLEAVED),
        "Interleaved access is not supported");
    Check(snd_pcm_hw_params_set_format(Pcm, Hw, Sample),
        std::to_string(Format.BitsPerSample) + "-bit samples are not supported");
    Check(snd_pcm_hw_params_set_channels(Pcm, Hw, Format.Channels),
        std::to_string(Format.Channels) + " channels are not supported");
    Check(snd_pcm_hw_params_set_rate(Pcm, Hw, Format.SamplesPerSec, 0),
        "The rate of " + std::to_string(Format.SamplesPerSec) + " Hz is not supported");
    Check(snd_pcm_hw_params_set_buffer_time_near(Pcm, Hw, &Ring, nullptr),
        "Cannot set the ring size");
    Check(snd_pcm_hw_params_set_period_time_near(Pcm, Hw, &Period, nullptr),
        "Cannot set the period size");
    Check(snd_pcm_hw_params(Pcm, Hw), "Cannot apply the capture parameters");
    snd_pcm_uframes_t RingFrames = 0;
    snd_pcm_hw_params_get_buffer_size(Hw, &RingFrames);
    snd_pcm_sw_params_t* Sw;
    snd_pcm_sw_params_alloca(&Sw);
    snd_pcm_uframes_t Boundary = 0;
    Check(snd_pcm_sw_params_current(Pcm, Sw), "Cannot read the software parameters");
    snd_pcm_sw_params_get_boundary(Sw, &Boundary);
    // Started explicitly by Start and after an overrun, never by a read.
    Check(
        snd_pcm_sw_params_set_start_threshold(Pcm, Sw, Boundary), "Cannot set the start threshold");
    Check(snd_pcm_sw_params(Pcm, Sw), "Cannot apply the software parameters");
    return RingFrames;
}

} // namespace Alsa
