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

} // namespace Alsa
