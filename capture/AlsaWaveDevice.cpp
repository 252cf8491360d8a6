// The ALSA backend of the wave-in device interface (Linux).
//
// How it works: device 0 is ALSA's "default" PCM (which PulseAudio or PipeWire serve where they
// run), present when it can be opened; then comes the capture device of each sound card
// ("plughw:card,device"), or its playback device for the output queries. An open device runs one
// capture thread, which alone touches the PCM while the device is started. The ALSA ring holds
// about a second, so that scheduling jitter of a few hundred milliseconds loses nothing.
// The files: AlsaDeviceList.cpp lists the devices, AlsaFormat.cpp finds the formats a device
// accepts, AlsaCaptureDevice.cpp runs an open device and its capture thread.
#include "AlsaPcm.h"
#include "LinuxWaveBackends.h"

#include <mutex>

namespace {

using namespace Alsa;

class TAlsaWaveBackend final : public TWaveBackend {
public:
    int32_t OutputDeviceCount() override { return Count(SND_PCM_STREAM_PLAYBACK); }
    int32_t InputDeviceCount() override { return Count(SND_PCM_STREAM_CAPTURE); }
    TWaveCaps OutputCaps(int32_t Device) override
    {
        return QueryCaps(Find(SND_PCM_STREAM_PLAYBACK, Device), SND_PCM_STREAM_PLAYBACK);
    }
    TWaveCaps InputCaps(int32_t Device) override
    {
        return QueryCaps(Find(SND_PCM_STREAM_CAPTURE, Device), SND_PCM_STREAM_CAPTURE);
    }
    // From the list, without opening the device again and probing its formats.
    std::string InputName(int32_t Device) override
    {
        return Find(SND_PCM_STREAM_CAPTURE, Device).Name;
    }
    std::string InputId(int32_t Device) override { return Find(SND_PCM_STREAM_CAPTURE, Device).Id; }
    void RefreshInputs() override
    {
        std::lock_guard Lock(FMutex);
        FInputs.Listed = false;
    }
    std::unique_ptr<TWaveInDevice> OpenInput(
        int32_t Device, const TPcmFormat& Format, TWaveInCallback Callback, void* Instance) override
    {
        return OpenCaptureDevice(Find(SND_PCM_STREAM_CAPTURE, Device), Format, Callback, Instance);
    }

private:
    std::vector<TAlsaDevice>& List(snd_pcm_stream_t Stream)
    {
        auto& Slot = Stream == SND_PCM_STREAM_CAPTURE ? FInputs : FOutputs;
        if (!Slot.Listed) {
            Slot.Devices = EnumerateDevices(Stream);
            Slot.Listed = true;
        }
        return Slot.Devices;
    }

    int32_t Count(snd_pcm_stream_t Stream)
    {
        std::lock_guard Lock(FMutex);
        return static_cast<int32_t>(List(Stream).size());
    }

    // The device of that number; the wave mapper is the "default" PCM, listed or not.
    TAlsaDevice Find(snd_pcm_stream_t Stream, int32_t Device)
    {
        std::lock_guard Lock(FMutex);
        const auto& Devices = List(Stream);
        if (Device >= 0 && Device < static_cast<int32_t>(Devices.size()))
            return Devices[static_cast<size_t>(Device)];
        if (Device == WaveMapper)
            return { "default", "Default", "default" };
        throw EWaveDeviceError("There is no ALSA device " + std::to_string(Device));
    }

    struct TListSlot {
        bool Listed = false;
        std::vector<TAlsaDevice> Devices;
    };
    std::mutex FMutex; // guards the lists
    TListSlot FInputs;
    TListSlot FOutputs;
};

} // namespace

std::unique_ptr<TWaveBackend> CreateAlsaWaveBackend()
{
    return std::make_unique<TAlsaWaveBackend>();
}
