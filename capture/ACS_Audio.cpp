#include "ACS_Audio.h"

#include "DebugLog.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <initializer_list>
#include <mutex>

// ---------------------------------------------------------------------------------------------
// Module state: the backend, the device counts and the lock of the wave-in notification.

namespace {

class TAudioModule {
public:
    // The unit's start-up: the platform backend, then the output count, then the input count.
    TAudioModule()
        : FBackend(CreatePlatformWaveBackend())
    {
        TakeCounts();
    }

    // Serialises the wave-in notification of every TAudioIn with GetData and Flush.
    TAudioMutex Lock;
    std::atomic<int32_t> OutputCount{ 0 };
    std::atomic<int32_t> InputCount{ 0 };

    std::shared_ptr<TWaveBackend> Backend()
    {
        std::lock_guard Guard(FBackendMutex);
        return FBackend;
    }

    // The inputs afresh; the count is stored with the list it was read from.
    std::vector<TWaveInput> ListInputs()
    {
        auto Current = Backend();
        try {
            Current->RefreshInputs();
        } catch (const EWaveDeviceError& E) {
            throw EACSException(std::string("Cannot list the inputs: ") + E.what());
        }
        const int32_t Count = Current->InputDeviceCount();
        std::vector<TWaveInput> Inputs;
        for (int32_t Device = 0; Device < Count; ++Device) {
            try {
                Inputs.push_back({ Current->InputName(Device), Current->InputId(Device) });
            } catch (const EWaveDeviceError& E) {
                throw EACSException(
                    "Cannot query input device " + std::to_string(Device) + ": " + E.what());
            }
        }
        InputCount = Count;
        return Inputs;
    }

    void Use(std::shared_ptr<TWaveBackend> Backend)
    {
        {
            std::lock_guard Guard(FBackendMutex);
            FBackend = std::move(Backend);
        }
        TakeCounts();
    }

private:
    void TakeCounts()
    {
        auto Current = Backend();
        OutputCount = Current->OutputDeviceCount();
        InputCount = Current->InputDeviceCount();
    }

    std::mutex FBackendMutex;
    std::shared_ptr<TWaveBackend> FBackend;
};

TAudioModule& Module()
{
    static TAudioModule Instance;
    return Instance;
}

// Formats flag n is set from platform bit PlatformBits[n]; the platform orders the two middle
// formats of each rate the other way round.
constexpr uint32_t PlatformBits[WaveFormatFlagCount] = {
    WaveFormat1M08,
    WaveFormat1M16,
    WaveFormat1S08,
    WaveFormat1S16,
    WaveFormat2M08,
    WaveFormat2M16,
    WaveFormat2S08,
    WaveFormat2S16,
    WaveFormat4M08,
    WaveFormat4M16,
    WaveFormat4S08,
    WaveFormat4S16,
};

// The product of 32-bit signed factors, wrapping past 2^31 - 1 as the unit's 32-bit arithmetic
// does; computed unsigned, so that the wrap is defined.
int32_t WrappingProduct(std::initializer_list<int32_t> Factors)
{
    uint32_t Product = 1;
    for (int32_t Factor : Factors)
        Product *= static_cast<uint32_t>(Factor);
    return static_cast<int32_t>(Product);
}

} // namespace

TWaveFormats FormatsFromPlatform(uint32_t PlatformFormats)
{
    TWaveFormats Formats = 0;
    for (int Flag = 0; Flag < WaveFormatFlagCount; ++Flag) {
        if (PlatformFormats & PlatformBits[Flag])
            Formats |= static_cast<TWaveFormats>(1u << Flag);
    }
    return Formats;
}

int32_t WaveInDeviceCount()
{
    return Module().InputCount.load();
}

int32_t WaveOutDeviceCount()
{
    return Module().OutputCount.load();
}

std::vector<TWaveInput> ListWaveInputs()
{
    return Module().ListInputs();
}

void UseWaveBackend(std::shared_ptr<TWaveBackend> Backend)
{
    if (!Backend)
        throw EACSException("No wave device backend given");
    Module().Use(std::move(Backend));
}

void GetWaveDeviceInfo(int32_t Device, bool OutputDevice, TWaveDeviceInfo& Info)
{
    const int32_t Count = OutputDevice ? WaveOutDeviceCount() : WaveInDeviceCount();
    if (Device >= Count)
        throw EACSException("Device " + std::to_string(Device) + " is not available.");
    TWaveCaps Caps;
    try {
        auto Backend = Module().Backend();
        Caps = OutputDevice ? Backend->OutputCaps(Device) : Backend->InputCaps(Device);
    } catch (const EWaveDeviceError& E) {
        throw EACSException("Cannot query " + std::string(OutputDevice ? "output" : "input")
            + " device " + std::to_string(Device) + ": " + E.what());
    }
    Info.Name = Caps.Name.substr(0, Caps.Name.find('\0'));
    Info.Formats = FormatsFromPlatform(Caps.Formats);
    Info.DriverVersion = Caps.DriverVersion;
    Info.Stereo = Caps.Channels != 1;
}

// ---------------------------------------------------------------------------------------------
// TAudioIn

TAudioMutex& TAudioIn::ModuleLock()
{
    return Module().Lock;
}

TAudioIn::TAudioIn(TComponent* AOwner)
    : TACSInput(AOwner)
{
    Module(); // the unit's start-up happens at its first use at the latest
    Size = -1;
}

TAudioIn::~TAudioIn()
{
    // A reader forgets this source, after its read in flight, before the buffers go.
    LeaveOwner();
    std::lock_guard Control(FControl);
    if (FDevice) {
        // A destructor cannot report; the device and the buffers are released all the same.
        ReleaseDevice(false);
        FOpenCount = 0;
        FDevice.reset();
    }
}

void TAudioIn::SetBaseChannel(int32_t Value)
{
    if (Busy)
        throw EACSException("Component is buisy");
    if (Value >= WaveInDeviceCount())
        throw EACSException("Channel " + std::to_string(Value) + " is not available");
    BaseChannel = Value;
}

void TAudioIn::Init()
{
    DebugLog("capture: Init");
    if (Busy)
        throw EACSException("The component is buisy");
    BufEnd = 0;
    BufStart = 1;
    Position = 0;
    FRecLimit = WrappingProduct(
        { GetBitsPerSample() / 8, RecTime.load(), GetChannels(), GetSampleRate() });
    {
        std::lock_guard Lock(Module().Lock);
        FFilledHead = nullptr;
        FFilledTail = &FFilledHead;
        FDeviceFailed = false;
        FPaused = false;
    }
    FStalled = false;
    FCurrent = nullptr; // the pool's free chain is built anew below
    FQueued = 0;
    FDropouts = 0;
    FLostFrames = 0;
    Busy = true;
    std::lock_guard Control(FControl);
    try {
        PreparePool();
        OpenDevice();
        FDevice->Start();
    } catch (const std::exception& E) {
        // Whatever failed (the device, or the thread or memory it needed), the source ends idle.
        CloseDevice();
        Busy = false;
        throw EACSException("Cannot record from " + DeviceName() + ": " + E.what());
    }
    Size = FRecLimit;
    DebugLog("capture: device open and started");
}

TPcmFormat TAudioIn::DeviceFormat() const
{
    TPcmFormat Format;
    Format.FormatTag = 1;
    Format.Channels = static_cast<uint16_t>(InChannels.load());
    Format.SamplesPerSec = static_cast<uint32_t>(InSampleRate.load());
    Format.BlockAlign
        = static_cast<uint16_t>(WrappingProduct({ InChannels.load(), InBitsPerSample.load() }) / 8);
    Format.AvgBytesPerSec = Format.SamplesPerSec * Format.BlockAlign;
    Format.BitsPerSample = static_cast<uint16_t>(InBitsPerSample.load());
    return Format;
}

void TAudioIn::OpenDevice()
{
    if (FOpenCount == 0)
        FDevice = Module().Backend()->OpenInput(BaseChannel, DeviceFormat(), &WaveInCallback, this);
    ++FOpenCount;
}

std::string TAudioIn::CloseDevice(bool Orderly)
{
    std::string Failure;
    if (FOpenCount == 1 && FDevice) {
        try {
            if (Orderly)
                FDevice->Close();
        } catch (const EWaveDeviceError& E) {
            Failure = "Cannot close " + DeviceName() + ": " + E.what();
        }
        FDevice.reset(); // released all the same
    }
    if (FOpenCount > 0)
        --FOpenCount;
    return Failure;
}

int32_t TAudioIn::PoolBuffers(const TPcmFormat& Format)
{
    const int64_t Second
        = (int64_t{ Format.AvgBytesPerSec } + WaveBufferLength - 1) / WaveBufferLength;
    return QueuedBuffers
        + static_cast<int32_t>(
            std::clamp<int64_t>(Second, QueuedBuffers, MaxPoolBuffers - QueuedBuffers));
}

void TAudioIn::PreparePool()
{
    const int32_t Needed = PoolBuffers(DeviceFormat());
    if (FPoolSize < Needed) {
        // The device of the last run is closed, so it holds none of the old buffers.
        FPool.reset();
        FPoolSize = 0;
        FPool = std::make_unique<TCaptureBuffer[]>(static_cast<size_t>(Needed));
        FPoolSize = Needed;
        FBuffersAllocated += Needed;
    }
    FFree = nullptr;
    for (int32_t I = FPoolSize - 1; I >= 0; --I) {
        TWaveHeader& Header = FPool[I].Header;
        Header = TWaveHeader{};
        Header.Data = FPool[I].Data;
        Header.Next = FFree;
        FFree = &Header;
    }
}

bool TAudioIn::QueueBuffer()
{
    if (FFree == nullptr)
        return false;
    TWaveHeader& Header = *FFree;
    FFree = Header.Next;
    Header.Next = nullptr;
    Header.BufferLength = WaveBufferLength;
    Header.BytesRecorded = 0;
    Header.Flags = 0;
    try {
        FDevice->Prepare(Header);
        FDevice->AddBuffer(Header);
    } catch (const EWaveDeviceError& E) {
        RecycleHeader(&Header); // unprepared first: a refused buffer may have been prepared
        throw EACSException("Cannot queue a buffer with " + DeviceName() + ": " + E.what());
    }
    ++FQueued;
    return true;
}

void TAudioIn::WaveInCallback(void* Instance, TWaveInMessage Message, TWaveHeader* Header)
{
    auto* Self = static_cast<TAudioIn*>(Instance);
    std::lock_guard Lock(Module().Lock);
    if (Message == wimData && Header != nullptr) {
        Header->Next = nullptr;
        *Self->FFilledTail = Header;
        Self->FFilledTail = &Header->Next;
        --Self->FQueued;
    } else if (Message == wimError) {
        Self->FDeviceFailed = true;
    }
    Self->FReturned.notify_all();
}

int32_t TAudioIn::GetData(void* Buffer, int32_t BufferSize)
{
    if (!Busy)
        throw EACSException("The Stream is not opened");
    if (FRecLimit >= 0 && Position >= FRecLimit)
        return 0;
    // With every free buffer filled and waiting, fewer are queued until the reader catches up.
    while (FQueued < QueuedBuffers && QueueBuffer()) { }
    if (BufStart > BufEnd || FCurrent == nullptr) {
        BufStart = 1;
        FetchBlock();
    }
    // A negative size asks for nothing, like a size of 0.
    const int32_t Count = std::max(0, std::min(BufEnd - BufStart + 1, BufferSize));
    std::memcpy(Buffer, FCurrent->Data + (BufStart - 1), static_cast<size_t>(Count));
    BufStart += Count;
    Position += Count;
    // Used up: the buffer goes back to the device while the reader works on its bytes.
    if (BufStart > BufEnd)
        ReleaseCurrent();
    return Count;
}

void TAudioIn::FetchBlock()
{
    TWaveHeader* Header = TakeFilled();
    // A device never reports more than the buffer holds; the bound keeps a faulty one from
    // making the source read past the buffer's data.
    const uint32_t Bytes = std::min(Header->BytesRecorded, WaveBufferLength);
    FCurrent = Header;
    BufEnd = static_cast<int32_t>(Bytes);
    if (Position == 0)
        DebugLog("capture: first block delivered");
    TakeLosses();
}

void TAudioIn::TakeLosses()
{
    const TWaveInCounters Counters = FDevice->Counters();
    // Frames before the count, so that a reader never finds a dropout without its frames.
    FLostFrames = static_cast<int64_t>(Counters.LostFrames);
    FDropouts = static_cast<int64_t>(Counters.Dropouts);
}

TCaptureLosses TAudioIn::Losses() const
{
    TCaptureLosses Losses;
    Losses.Dropouts = FDropouts.load();
    Losses.LostFrames = FLostFrames.load();
    return Losses;
}

void TAudioIn::RecycleHeader(TWaveHeader* Header)
{
    try {
        FDevice->Unprepare(*Header);
    } catch (const EWaveDeviceError&) {
        // The device refuses only a header that it still holds (never the case here) or one that
        // it did not prepare (nothing to undo); the buffer is free again in any case.
    }
    Header->Next = FFree;
    FFree = Header;
}

void TAudioIn::Flush()
{
    std::lock_guard Control(FControl);
    DebugLog("capture: flush");
    bool ResetFailed = false;
    std::string Failure = ReleaseDevice(true, &ResetFailed);
    DebugLog("capture: device reset");
    // A device that failed its reset (a thread that does not answer) is not asked to close as
    // well, which would wait as long again: releasing it closes it.
    const std::string CloseFailure = CloseDevice(!ResetFailed);
    if (Failure.empty())
        Failure = CloseFailure;
    DebugLog("capture: device closed");
    {
        std::lock_guard Lock(Module().Lock);
        FPaused = false;
    }
    Busy = false;
    if (!Failure.empty())
        throw EACSException(Failure);
}

std::string TAudioIn::ReleaseDevice(bool WaitForQueued, bool* ResetFailed)
{
    if (!FDevice)
        return {}; // idle: nothing is queued and there is nothing to reset
    TakeLosses(); // what was lost while the run recorded, before the reset discards anything
    ReleaseCurrent(); // what is left of it is not delivered any more
    std::string Failure;
    if (WaitForQueued && !FStalled) {
        std::unique_lock Lock(Module().Lock);
        // The device is still recording, so the queued buffers come back within four buffers'
        // time; a failed, stalled or paused device is reset without waiting any longer.
        if (!FPaused)
            FReturned.wait_for(
                Lock, WaitBound(QueuedBuffers + 1), [&] { return FQueued == 0 || FDeviceFailed; });
        Lock.unlock();
        if (DebugLogOn())
            DebugLog("capture: waited for the queued buffers, " + std::to_string(FQueued.load())
                + " left");
    }
    try {
        FDevice->Reset(); // returns the buffers still queued through the notification
    } catch (const EWaveDeviceError& E) {
        Failure = "Cannot reset " + DeviceName() + ": " + E.what();
        if (ResetFailed)
            *ResetFailed = true;
    }
    RecycleFilledList();
    if (FQueued != 0 && Failure.empty())
        Failure = "The " + DeviceName() + " kept " + std::to_string(FQueued.load())
            + " buffers after its reset";
    return Failure;
}

void TAudioIn::RecycleFilledList()
{
    TWaveHeader* Header;
    {
        std::lock_guard Lock(Module().Lock);
        Header = FFilledHead;
        FFilledHead = nullptr;
        FFilledTail = &FFilledHead;
    }
    while (Header != nullptr) {
        TWaveHeader* Next = Header->Next;
        RecycleHeader(Header);
        Header = Next;
    }
}

std::chrono::milliseconds TAudioIn::WaitBound(int32_t Buffers) const
{
    const uint32_t BytesPerSecond = DeviceFormat().AvgBytesPerSec;
    if (BytesPerSecond == 0)
        return StallTimeout;
    const auto FillTime
        = std::chrono::milliseconds(int64_t{ Buffers } * 1000 * WaveBufferLength / BytesPerSecond);
    return std::max(StallTimeout, FillTime);
}

std::string TAudioIn::DeviceName() const
{
    std::string Name = "capture device " + std::to_string(BaseChannel.load());
    try {
        Name += " \"" + Module().Backend()->InputName(BaseChannel) + "\"";
    } catch (const EWaveDeviceError&) {
        // The number alone names a device that cannot even be queried.
    }
    return Name;
}
