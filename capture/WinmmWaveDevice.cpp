// The winmm backend of the wave-in device interface (Windows).
//
// How it works: the device is opened with waveInOpen and a callback function (CALLBACK_FUNCTION
// | WAVE_MAPPED); winmm fills the queued buffers on its own and calls the callback on a thread of
// its choosing with WIM_DATA for each filled one. Each of our wave headers is lent to winmm as
// one WAVEHDR of a fixed pool held by the open device (no allocation per buffer); the WAVEHDR
// points at the header's own data block, so winmm records straight into it, and its dwUser
// leads back to the header. The callback copies dwBytesRecorded, marks the header done and
// passes it on; it calls no other winmm function, as winmm requires.
//
// Reset calls waveInReset, which stops recording and makes winmm return every queued buffer
// through the callback; Reset then waits (bounded) until the callback has seen all of them, so
// that they are back when it returns. Stop (a pause) calls waveInStop, which returns only the
// buffer being filled, and Start waveInStart. winmm drops the sound that comes while no buffer is
// queued without a word; the device measures those stretches by the time they last
// (QueueGapMeter.h). A WIM_CLOSE that we did not ask for (the device went
// away) fails the device.
#include "AudioSync.h"
#include "QueueGapMeter.h"
#include "WaveDevice.h"
#include "Win32Capture.h"
#include "Win32Text.h"

#include <windows.h>

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <cwchar>
#include <iterator>
#include <mmsystem.h>
#include <mutex>

namespace {

constexpr auto ReturnBound = std::chrono::seconds(5);
// Queued plus returned but not yet unprepared headers of one source: 4 + 4; room to spare.
constexpr size_t PoolSize = 16;

std::string InError(const std::string& What, MMRESULT Result)
{
    char Text[MAXERRORLENGTH] = {};
    if (waveInGetErrorTextA(Result, Text, sizeof Text) != MMSYSERR_NOERROR)
        return What + ": error " + std::to_string(Result);
    return What + ": " + Text;
}

UINT DeviceId(int32_t Device)
{
    return Device == WaveMapper ? WAVE_MAPPER : UINT(Device);
}

class TWinmmWaveInDevice final : public TWaveInDevice {
public:
    TWinmmWaveInDevice(
        int32_t Device, const TPcmFormat& Format, TWaveInCallback Callback, void* Instance)
        : FCallback(Callback)
        , FInstance(Instance)
        , FGaps(Format.SamplesPerSec)
    {
        WAVEFORMATEX Wave = {};
        Wave.wFormatTag = WAVE_FORMAT_PCM;
        Wave.nChannels = Format.Channels;
        Wave.nSamplesPerSec = Format.SamplesPerSec;
        Wave.nAvgBytesPerSec = Format.AvgBytesPerSec;
        Wave.nBlockAlign = Format.BlockAlign;
        Wave.wBitsPerSample = Format.BitsPerSample;
        Wave.cbSize = 0;
        const MMRESULT Result = waveInOpen(&FHandle, DeviceId(Device), &Wave,
            reinterpret_cast<DWORD_PTR>(&WaveInProc), reinterpret_cast<DWORD_PTR>(this),
            CALLBACK_FUNCTION | WAVE_MAPPED);
        if (Result != MMSYSERR_NOERROR)
            throw EWaveDeviceError(InError("waveInOpen failed", Result));
    }

    ~TWinmmWaveInDevice() override
    {
        try {
            Close();
        } catch (const EWaveDeviceError&) {
            // A destructor cannot report; the handle is given up in any case.
        }
    }

    void Prepare(TWaveHeader& Header) override
    {
        TWaveInDevice::Prepare(Header);
        WAVEHDR& Slot = TakeSlot(Header);
        Slot.lpData = reinterpret_cast<LPSTR>(Header.Data);
        Slot.dwBufferLength = Header.BufferLength;
        Slot.dwFlags = 0;
        Slot.dwUser = reinterpret_cast<DWORD_PTR>(&Header);
        const MMRESULT Result = waveInPrepareHeader(FHandle, &Slot, sizeof(WAVEHDR));
        if (Result != MMSYSERR_NOERROR) {
            Slot.dwUser = 0;
            Header.Flags &= ~wbPrepared;
            throw EWaveDeviceError(InError("waveInPrepareHeader failed", Result));
        }
    }

    void AddBuffer(TWaveHeader& Header) override
    {
        CheckAddBuffer(Header);
        WAVEHDR& Slot = SlotOf(Header);
        MarkQueued(Header);
        ++FOutstanding;
        // Counted before winmm has it, since it may return it before waveInAddBuffer returns.
        FGaps.Queued(TQueueGapMeter::TClock::now());
        const MMRESULT Result = waveInAddBuffer(FHandle, &Slot, sizeof(WAVEHDR));
        if (Result != MMSYSERR_NOERROR) {
            --FOutstanding;
            FGaps.Withdrawn();
            Header.Flags &= ~wbInQueue;
            throw EWaveDeviceError(InError("waveInAddBuffer failed", Result));
        }
    }

    void Start() override
    {
        const MMRESULT Result = waveInStart(FHandle);
        if (Result != MMSYSERR_NOERROR)
            throw EWaveDeviceError(InError("waveInStart failed", Result));
        FGaps.Started();
    }

    // waveInStop returns the buffer being filled, marked done with what it holds, and keeps the
    // others queued for waveInStart.
    void Stop() override
    {
        FGaps.Stopped(TQueueGapMeter::TClock::now());
        const MMRESULT Result = waveInStop(FHandle);
        if (Result != MMSYSERR_NOERROR) {
            FGaps.Started(); // still recording
            throw EWaveDeviceError(InError("waveInStop failed", Result));
        }
    }

    void Reset() override
    {
        FGaps.Stopped(TQueueGapMeter::TClock::now());
        const MMRESULT Result = waveInReset(FHandle);
        if (Result != MMSYSERR_NOERROR)
            throw EWaveDeviceError(InError("waveInReset failed", Result));
        std::unique_lock Lock(FMutex);
        if (!FAllBack.wait_for(Lock, ReturnBound, [&] { return FOutstanding == 0; }))
            throw EWaveDeviceError("winmm did not return " + std::to_string(FOutstanding.load())
                + " buffers after waveInReset");
    }

    void Unprepare(TWaveHeader& Header) override
    {
        TWaveInDevice::Unprepare(Header);
        WAVEHDR& Slot = SlotOf(Header);
        const MMRESULT Result = waveInUnprepareHeader(FHandle, &Slot, sizeof(WAVEHDR));
        Slot.dwUser = 0; // the slot is free again whatever winmm answered
        if (Result != MMSYSERR_NOERROR)
            throw EWaveDeviceError(InError("waveInUnprepareHeader failed", Result));
    }

    void Close() override
    {
        if (FHandle == nullptr)
            return;
        FClosing = true;
        FGaps.Stopped(TQueueGapMeter::TClock::now());
        waveInReset(FHandle); // waveInClose refuses while buffers are queued
        const MMRESULT Result = waveInClose(FHandle);
        FHandle = nullptr;
        if (Result != MMSYSERR_NOERROR)
            throw EWaveDeviceError(InError("waveInClose failed", Result));
    }

    std::string LastError() const override
    {
        std::lock_guard Lock(FMutex);
        return FError;
    }

    // winmm records into our buffers only; what it loses while none is queued is measured here.
    TWaveInCounters Counters() const override
    {
        return FGaps.Counters(TQueueGapMeter::TClock::now());
    }

private:
    static void CALLBACK WaveInProc(
        HWAVEIN, UINT Message, DWORD_PTR Instance, DWORD_PTR Param1, DWORD_PTR)
    {
        auto* Self = reinterpret_cast<TWinmmWaveInDevice*>(Instance);
        if (Message == WIM_DATA)
            Self->Returned(*reinterpret_cast<WAVEHDR*>(Param1));
        else if (Message == WIM_CLOSE && !Self->FClosing)
            Self->Failed("the device was closed by the system");
    }

    void Returned(WAVEHDR& Slot)
    {
        auto* Header = reinterpret_cast<TWaveHeader*>(Slot.dwUser);
        Header->BytesRecorded = Slot.dwBytesRecorded;
        FGaps.Returned(TQueueGapMeter::TClock::now());
        MarkDone(*Header);
        FCallback(FInstance, wimData, Header);
        std::lock_guard Lock(FMutex);
        --FOutstanding;
        FAllBack.notify_all();
    }

    void Failed(const std::string& Why)
    {
        {
            std::lock_guard Lock(FMutex);
            FError = Why;
        }
        FCallback(FInstance, wimError, nullptr);
    }

    // The pool is touched only by the thread that drives the source (Prepare, Unprepare).
    WAVEHDR& TakeSlot(TWaveHeader& Header)
    {
        for (WAVEHDR& Slot : FPool)
            if (Slot.dwUser == 0)
                return Slot;
        Header.Flags &= ~wbPrepared;
        throw EWaveDeviceError(
            "More than " + std::to_string(PoolSize) + " wave headers are prepared at once");
    }

    WAVEHDR& SlotOf(const TWaveHeader& Header)
    {
        for (WAVEHDR& Slot : FPool)
            if (Slot.dwUser == reinterpret_cast<DWORD_PTR>(&Header))
                return Slot;
        throw EWaveDeviceError("The wave header was not prepared with this device");
    }

    TWaveInCallback FCallback;
    void* FInstance;
    HWAVEIN FHandle = nullptr;
    std::array<WAVEHDR, PoolSize> FPool{};
    std::atomic<int32_t> FOutstanding{ 0 };
    std::atomic<bool> FClosing{ false };
    TQueueGapMeter FGaps;
    mutable TAudioMutex FMutex; // guards FError; pairs with FAllBack
    TAudioCondition FAllBack;
    std::string FError;
};

// A device's product name in UTF-8. The system cuts names at 31 characters, which may split a
// surrogate pair; the half left at the end is dropped rather than failing the whole name.
std::string NameOf(const WCHAR* Name, size_t Capacity)
{
    std::wstring_view Wide(Name, wcsnlen(Name, Capacity));
    if (!Wide.empty() && Wide.back() >= 0xD800 && Wide.back() <= 0xDBFF)
        Wide.remove_suffix(1);
    try {
        return Utf8FromWide(Wide);
    } catch (const std::runtime_error& E) {
        throw EWaveDeviceError(std::string("Cannot read a wave device's name: ") + E.what());
    }
}

// The capabilities by the wide-character queries: the names in the system's ANSI code page
// would not be UTF-8 on most non-English systems.
TWaveCaps InCaps(int32_t Device)
{
    WAVEINCAPSW Caps = {};
    const MMRESULT Result = waveInGetDevCapsW(DeviceId(Device), &Caps, sizeof Caps);
    if (Result != MMSYSERR_NOERROR)
        throw EWaveDeviceError(InError("waveInGetDevCapsW failed", Result));
    return { NameOf(Caps.szPname, std::size(Caps.szPname)), Caps.vDriverVersion, Caps.dwFormats,
        Caps.wChannels };
}

TWaveCaps OutCaps(int32_t Device)
{
    WAVEOUTCAPSW Caps = {};
    const MMRESULT Result = waveOutGetDevCapsW(DeviceId(Device), &Caps, sizeof Caps);
    if (Result != MMSYSERR_NOERROR)
        throw EWaveDeviceError(InError("waveOutGetDevCapsW failed", Result));
    return { NameOf(Caps.szPname, std::size(Caps.szPname)), Caps.vDriverVersion, Caps.dwFormats,
        Caps.wChannels };
}

class TWinmmWaveBackend final : public TWaveBackend {
public:
    int32_t OutputDeviceCount() override { return static_cast<int32_t>(waveOutGetNumDevs()); }
    int32_t InputDeviceCount() override { return static_cast<int32_t>(waveInGetNumDevs()); }
    TWaveCaps OutputCaps(int32_t Device) override { return OutCaps(Device); }
    TWaveCaps InputCaps(int32_t Device) override { return InCaps(Device); }
    std::unique_ptr<TWaveInDevice> OpenInput(
        int32_t Device, const TPcmFormat& Format, TWaveInCallback Callback, void* Instance) override
    {
        return std::make_unique<TWinmmWaveInDevice>(Device, Format, Callback, Instance);
    }
};

} // namespace

std::unique_ptr<TWaveBackend> CreateWinmmWaveBackend()
{
    return std::make_unique<TWinmmWaveBackend>();
}
