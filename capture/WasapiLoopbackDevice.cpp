// The loopback capture of what the computer plays, on the system's shared audio engine (Windows).
//
// How it works: a thread of the device's own opens, in the process's multithreaded COM apartment,
// the default output's audio client in loopback mode with the engine's mix format, and reads what
// the engine mixes for that output through the capture client. Every 10 ms it takes the packets
// that have come, converts each from the mix format to the recording's 16-bit stereo at its rate
// (MixFormatConverter.h) and copies it into the buffers that the source has queued
// (CaptureFiller.h), which return through the notification as they fill. The engine sends no
// packets while nothing plays; after 200 ms without one the thread records the silence of that
// time itself, so that a recording goes on at its pace. A gap that the engine reports
// (AUDCLNT_BUFFERFLAGS_DATA_DISCONTINUITY) is counted as an overrun with the frames its device
// position skipped.
//
// Start, Reset and Close ask the thread and wake it; Reset waits (bounded) until the thread has
// stopped the stream and returned the queued buffers. All COM objects live and die on the thread.

// The interface and property identifiers are defined in this file, and so before any header
// that declares them.
// clang-format off
#include <windows.h>
#include <initguid.h>
// clang-format on

#include "CaptureFiller.h"
#include "ComSupport.h"
#include "MixFormatConverter.h"
#include "Win32Capture.h"

#include <algorithm>
#include <audioclient.h>
#include <chrono>
#include <condition_variable>
#include <functiondiscoverykeys_devpkey.h>
#include <mmdeviceapi.h>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

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

constexpr auto PollPeriod = std::chrono::milliseconds(10);
constexpr auto IdleAfter = std::chrono::milliseconds(200);
constexpr auto ReturnBound = std::chrono::seconds(5);
// The engine's buffer for the stream: room for many polls.
constexpr REFERENCE_TIME EngineBuffer = 2000000; // 200 ms in 100 ns units

using TClock = std::chrono::steady_clock;

class TWasapiLoopbackDevice final : public TWaveInDevice {
public:
    TWasapiLoopbackDevice(const TPcmFormat& Format, TWaveInCallback Callback, void* Instance)
        : FOutRate(Format.SamplesPerSec)
        , FFiller(Callback, Instance, 4)
    {
        if (Format.FormatTag != 1 || Format.Channels != 2 || Format.BitsPerSample != 16
            || Format.SamplesPerSec == 0)
            throw EWaveDeviceError("What the computer plays is recorded in 16-bit stereo only");
        FThread = std::thread([this] { Run(); });
        std::unique_lock Lock(FMutex);
        FChanged.wait(Lock, [&] { return FOpened || FEnded; });
        if (!FOpened) {
            Lock.unlock();
            FThread.join();
            throw EWaveDeviceError(FError);
        }
    }

    ~TWasapiLoopbackDevice() override { Close(); }

    void AddBuffer(TWaveHeader& Header) override
    {
        CheckAddBuffer(Header);
        MarkQueued(Header);
        try {
            FFiller.Add(Header);
        } catch (const EWaveDeviceError&) {
            Header.Flags &= ~wbInQueue;
            throw;
        }
    }

    void Start() override
    {
        Ask([&] { FWantRunning = true; });
    }

    void Reset() override
    {
        std::unique_lock Lock(FMutex);
        FWantRunning = false;
        FResetWanted = true;
        FWake.notify_all();
        if (!FChanged.wait_for(Lock, ReturnBound, [&] { return !FResetWanted || FEnded; }))
            throw EWaveDeviceError("The loopback capture did not return "
                + std::to_string(FFiller.Queued()) + " buffers after its reset");
    }

    void Close() override
    {
        if (!FThread.joinable())
            return;
        Ask([&] { FQuit = true; });
        FThread.join();
    }

    std::string LastError() const override
    {
        std::lock_guard Lock(FMutex);
        return FError;
    }

    TWaveInCounters Counters() const override { return FFiller.Counters(); }

private:
    template <typename F> void Ask(F Change)
    {
        std::lock_guard Lock(FMutex);
        Change();
        FWake.notify_all();
    }

    void Run()
    {
        TComScope Com;
        try {
            Open();
        } catch (const EWaveDeviceError& E) {
            End(E.what());
            return;
        }
        Ask([&] { FOpened = true; });
        FChanged.notify_all();
        Loop();
        End("");
    }

    void End(const std::string& Why)
    {
        FCapture.Reset();
        FClient.Reset();
        std::lock_guard Lock(FMutex);
        if (!Why.empty())
            FError = Why;
        FEnded = true;
        FChanged.notify_all();
    }

    void Open()
    {
        TComPointer<IMMDevice> Output = DefaultOutput();
        Check(Output->Activate(__uuidof(IAudioClient), CLSCTX_ALL, nullptr, FClient.Out()),
            "IMMDevice::Activate(IAudioClient)");
        TComMemory<WAVEFORMATEX> Mix;
        Check(FClient->GetMixFormat(Mix.Out()), "IAudioClient::GetMixFormat");
        const auto* Extensible = Mix->wFormatTag == WAVE_FORMAT_EXTENSIBLE && Mix->cbSize >= 22
            ? reinterpret_cast<const WAVEFORMATEXTENSIBLE*>(Mix.Get())
            : nullptr;
        const TMixFormat Format = MixFormatOf(Mix->wFormatTag, Mix->nChannels, Mix->nSamplesPerSec,
            Mix->wBitsPerSample, Extensible ? uint16_t(Extensible->SubFormat.Data1) : 0,
            Extensible ? Extensible->dwChannelMask : 0);
        FConverter.emplace(Format, FOutRate);
        FInRate = Format.SamplesPerSec;
        Check(FClient->Initialize(AUDCLNT_SHAREMODE_SHARED, AUDCLNT_STREAMFLAGS_LOOPBACK,
                  EngineBuffer, 0, Mix.Get(), nullptr),
            "IAudioClient::Initialize(loopback)");
        UINT32 BufferFrames = 0;
        Check(FClient->GetBufferSize(&BufferFrames), "IAudioClient::GetBufferSize");
        FChunkFrames = std::max<UINT32>(BufferFrames, 1);
        FStaging.resize(size_t{ FConverter->MaxOutputFrames(FChunkFrames) } * 2);
        Check(FClient->GetService(__uuidof(IAudioCaptureClient), FCapture.Out()),
            "IAudioClient::GetService(IAudioCaptureClient)");
    }

    void Loop()
    {
        for (;;) {
            std::unique_lock Lock(FMutex);
            FWake.wait_for(Lock, PollPeriod);
            const bool Quit = FQuit, WantRunning = FWantRunning, ResetWanted = FResetWanted;
            Lock.unlock();
            try {
                Follow(WantRunning);
                if (ResetWanted) {
                    Check(FClient->Reset(), "IAudioClient::Reset");
                    FConverter->Restart();
                }
            } catch (const EWaveDeviceError& E) {
                Fail(E.what());
            }
            if (ResetWanted) {
                FFiller.ReturnAll();
                Ask([&] { FResetWanted = false; });
                FChanged.notify_all();
            }
            if (Quit)
                return;
        }
    }

    // Starts or stops the stream as asked, and takes the packets of a running one.
    void Follow(bool WantRunning)
    {
        if (FFailed)
            return;
        if (WantRunning != FRunning) {
            Check(WantRunning ? FClient->Start() : FClient->Stop(),
                WantRunning ? "IAudioClient::Start" : "IAudioClient::Stop");
            FRunning = WantRunning;
            FProgressAt = TClock::now();
            FHavePosition = false;
        }
        if (FRunning)
            Drain();
    }

    void Drain()
    {
        for (;;) {
            UINT32 Next = 0;
            Check(FCapture->GetNextPacketSize(&Next), "IAudioCaptureClient::GetNextPacketSize");
            if (Next == 0)
                break;
            BYTE* Data = nullptr;
            UINT32 Frames = 0;
            DWORD Flags = 0;
            UINT64 Position = 0;
            Check(FCapture->GetBuffer(&Data, &Frames, &Flags, &Position, nullptr),
                "IAudioCaptureClient::GetBuffer");
            if ((Flags & AUDCLNT_BUFFERFLAGS_DATA_DISCONTINUITY) && FHavePosition)
                FFiller.Lost(
                    Position > FNextPosition ? (Position - FNextPosition) * FOutRate / FInRate : 0);
            FHavePosition = true;
            FNextPosition = Position + Frames;
            Convert(Data, Frames, (Flags & AUDCLNT_BUFFERFLAGS_SILENT) != 0);
            Check(FCapture->ReleaseBuffer(Frames), "IAudioCaptureClient::ReleaseBuffer");
            FProgressAt = TClock::now();
        }
        RecordIdleTime();
    }

    // Nothing plays: the silence of the time since the last packet.
    void RecordIdleTime()
    {
        const auto Idle
            = std::chrono::duration_cast<std::chrono::nanoseconds>(TClock::now() - FProgressAt);
        if (Idle < IdleAfter)
            return;
        const uint64_t Frames = static_cast<uint64_t>(Idle.count()) * FInRate / 1000000000;
        for (uint64_t Done = 0; Done < Frames;) {
            const UINT32 Chunk
                = static_cast<UINT32>(std::min<uint64_t>(Frames - Done, FChunkFrames));
            Convert(nullptr, Chunk, true);
            Done += Chunk;
        }
        FProgressAt += std::chrono::nanoseconds(Frames * 1000000000 / FInRate);
    }

    void Convert(const BYTE* Data, UINT32 Frames, bool Silent)
    {
        for (UINT32 Done = 0; Done < Frames;) {
            const UINT32 Chunk = std::min(Frames - Done, FChunkFrames);
            const uint32_t Made = FConverter->Convert(
                Silent ? nullptr : Data + size_t{ Done } * FConverter->InFrameBytes(), Chunk,
                Silent, FStaging.data());
            FFiller.Deliver(reinterpret_cast<const uint8_t*>(FStaging.data()), Made);
            Done += Chunk;
        }
    }

    void Fail(const std::string& Why)
    {
        FFailed = true;
        FRunning = false;
        {
            std::lock_guard Lock(FMutex);
            FError = Why;
        }
        FFiller.Fail();
    }

    const uint32_t FOutRate;
    TCaptureFiller FFiller;
    std::thread FThread;
    mutable std::mutex FMutex; // guards the requests, the states below and FError
    std::condition_variable FWake; // a request for the thread
    std::condition_variable FChanged; // the thread has opened, reset or ended
    bool FWantRunning = false;
    bool FResetWanted = false;
    bool FQuit = false;
    bool FOpened = false;
    bool FEnded = false;
    std::string FError;

    // The thread's own.
    TComPointer<IAudioClient> FClient;
    TComPointer<IAudioCaptureClient> FCapture;
    std::optional<TMixFormatConverter> FConverter;
    std::vector<int16_t> FStaging;
    uint32_t FInRate = 0;
    UINT32 FChunkFrames = 1;
    bool FRunning = false;
    bool FFailed = false;
    bool FHavePosition = false;
    UINT64 FNextPosition = 0;
    TClock::time_point FProgressAt{};
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
    return std::make_unique<TWasapiLoopbackDevice>(Format, Callback, Instance);
}
