// The loopback capture of what the computer plays, on the system's shared audio engine (Windows):
// the packet source of a TPacketCaptureDevice (PacketCaptureDevice.h), which runs it on a thread
// of its own.
//
// The source opens, in the process's multithreaded COM apartment, the default output's audio
// client in loopback mode with the engine's mix format, and reads what the engine mixes for that
// output through the capture client. All its COM objects live and die on the device's thread.

// The interface and property identifiers are defined in this file, and so before any header
// that declares them.
// clang-format off
#include <windows.h>
#include <initguid.h>
// clang-format on

#include "ComSupport.h"
#include "PacketCaptureDevice.h"
#include "Win32Capture.h"

#include <algorithm>
#include <audioclient.h>
#include <functiondiscoverykeys_devpkey.h>
#include <mmdeviceapi.h>

namespace {

TComPointer<IMMDevice> DefaultOutput()
{
    TComPointer<IMMDeviceEnumerator> Devices;
    Check(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL,
              __uuidof(IMMDeviceEnumerator), Devices.Out()),
        "CoCreateInstance(MMDeviceEnumerator)");
    TComPointer<IMMDevice> Output;
    Check(Devices->GetDefaultAudioEndpoint(eRender, eConsole, Output.TypedOut()),
        "IMMDeviceEnumerator::GetDefaultAudioEndpoint");
    return Output;
}

// The output's friendly name ("Speakers (Realtek High Definition Audio)"), empty when it has none.
std::string DeviceName(IMMDevice* Device)
{
    TComPointer<IPropertyStore> Properties;
    if (FAILED(Device->OpenPropertyStore(STGM_READ, Properties.TypedOut())))
        return {};
    PROPVARIANT Value;
    PropVariantInit(&Value);
    std::string Name;
    if (SUCCEEDED(Properties->GetValue(PKEY_Device_FriendlyName, &Value)) && Value.vt == VT_LPWSTR
        && Value.pwszVal != nullptr) {
        try {
            Name = Utf8FromWide(Value.pwszVal);
        } catch (const std::runtime_error&) {
            // A name that is not valid text is no name; the entry still stands without it.
        }
    }
    PropVariantClear(&Value);
    return Name;
}

// The engine's buffer for the stream: room for many of the device's polls.
constexpr REFERENCE_TIME EngineBuffer = 2000000; // 200 ms in 100 ns units

class TWasapiLoopbackSource final : public TPacketSource {
public:
    TWasapiLoopbackSource()
    {
        TComPointer<IMMDevice> Output = DefaultOutput();
        Check(Output->Activate(__uuidof(IAudioClient), CLSCTX_ALL, nullptr, FClient.Out()),
            "IMMDevice::Activate(IAudioClient)");
        TComMemory<WAVEFORMATEX> Mix;
        Check(FClient->GetMixFormat(Mix.Out()), "IAudioClient::GetMixFormat");
        const auto* Extensible = Mix->wFormatTag == WAVE_FORMAT_EXTENSIBLE && Mix->cbSize >= 22
            ? reinterpret_cast<const WAVEFORMATEXTENSIBLE*>(Mix.Get())
            : nullptr;
        FFormat = MixFormatOf(Mix->wFormatTag, Mix->nChannels, Mix->nSamplesPerSec,
            Mix->wBitsPerSample, Extensible ? uint16_t(Extensible->SubFormat.Data1) : 0,
            Extensible ? Extensible->dwChannelMask : 0);
        Check(FClient->Initialize(AUDCLNT_SHAREMODE_SHARED, AUDCLNT_STREAMFLAGS_LOOPBACK,
                  EngineBuffer, 0, Mix.Get(), nullptr),
            "IAudioClient::Initialize(loopback)");
        Check(FClient->GetBufferSize(&FCapacity), "IAudioClient::GetBufferSize");
        Check(FClient->GetService(__uuidof(IAudioCaptureClient), FCapture.Out()),
            "IAudioClient::GetService(IAudioCaptureClient)");
    }

    TMixFormat Format() const override { return FFormat; }
    uint32_t PacketCapacity() const override { return FCapacity; }
    void Start() override { Check(FClient->Start(), "IAudioClient::Start"); }
    void Stop() override { Check(FClient->Stop(), "IAudioClient::Stop"); }
    void Reset() override { Check(FClient->Reset(), "IAudioClient::Reset"); }

    bool Next(TSoundPacket& Packet) override
    {
        UINT32 Size = 0;
        Check(FCapture->GetNextPacketSize(&Size), "IAudioCaptureClient::GetNextPacketSize");
        if (Size == 0)
            return false;
        BYTE* Data = nullptr;
        UINT32 Frames = 0;
        DWORD Flags = 0;
        UINT64 Position = 0;
        Check(FCapture->GetBuffer(&Data, &Frames, &Flags, &Position, nullptr),
            "IAudioCaptureClient::GetBuffer");
        Packet.Data = Data;
        Packet.Frames = Frames;
        Packet.Silent = (Flags & AUDCLNT_BUFFERFLAGS_SILENT) != 0;
        Packet.Discontinuity = (Flags & AUDCLNT_BUFFERFLAGS_DATA_DISCONTINUITY) != 0;
        Packet.Position = Position;
        return true;
    }

    void Release(const TSoundPacket& Packet) override
    {
        Check(FCapture->ReleaseBuffer(Packet.Frames), "IAudioCaptureClient::ReleaseBuffer");
    }

private:
    TComScope FCom; // first in, last out: the objects below live within it
    TComPointer<IAudioClient> FClient;
    TComPointer<IAudioCaptureClient> FCapture;
    TMixFormat FFormat;
    UINT32 FCapacity = 0;
};

} // namespace

std::string DefaultOutputName()
{
    TComScope Com;
    TComPointer<IMMDevice> Output;
    try {
        Output = DefaultOutput();
    } catch (const EWaveDeviceError&) {
        return {}; // no output, or no audio service: nothing to offer
    }
    return DeviceName(Output.Get());
}

std::unique_ptr<TWaveInDevice> OpenLoopback(
    const TPcmFormat& Format, TWaveInCallback Callback, void* Instance)
{
    return std::make_unique<TPacketCaptureDevice>(
        [] { return std::make_unique<TWasapiLoopbackSource>(); }, Format, Callback, Instance);
}
