#include "SimulatedWaveDevice.h"

#include "AudioSync.h"
#include "LossCounters.h"
#include "SimulatedSignalGenerator.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <optional>
#include <system_error>
#include <thread>

namespace {

// ---------------------------------------------------------------------------------------------
// One open simulated input device and its thread.

class TSimulatedWaveInDevice final : public TWaveInDevice {
public:
    // Flat out, a refill starts when the source holds FlatOutRefill of the buffers it was given
    // (one ready beside the one it reads) and ends when it holds FlatOutAhead.
    static constexpr int32_t FlatOutRefill = 1;
    static constexpr int32_t FlatOutAhead = 4;

    struct TSetup {
        TPcmFormat Format;
        TSimulatedSignal Signal;
        TSimulatedPacing Pacing;
        TSimulatedFaults Faults;
        TWaveInCallback Callback;
        void* Instance;
        std::shared_ptr<std::atomic<int32_t>> OpenNow;
        std::shared_ptr<std::atomic<int64_t>> Dropped;
        std::shared_ptr<std::atomic<int32_t>> PeakHeld;
        std::shared_ptr<std::atomic<int32_t>> Unanswered;
    };

    explicit TSimulatedWaveInDevice(TSetup Setup)
        : FSetup(std::move(Setup))
        , FGenerator(FSetup.Signal, FSetup.Format)
    {
        const uint32_t Align = std::max<uint32_t>(1, FSetup.Format.BlockAlign);
        FChunkBytes = WaveBufferLength / Align * Align;
        if (FChunkBytes == 0)
            FChunkBytes = WaveBufferLength;
        if (FSetup.Format.AvgBytesPerSec == 0)
            FSetup.Pacing = TSimulatedPacing::FlatOut; // a format without a byte rate has no pace
        else
            FPeriod = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                std::chrono::duration<double>(double(FChunkBytes) / FSetup.Format.AvgBytesPerSec));
        if (!FSetup.Faults.ThreadStartError.empty())
            throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again),
                FSetup.Faults.ThreadStartError);
        FThread = std::thread([this] { Run(); });
        // Counted only once the device is whole: an open that fails leaves nothing to close.
        ++*FSetup.OpenNow;
    }

    ~TSimulatedWaveInDevice() override
    {
        {
            std::lock_guard Lock(FMutex);
            // Unlike a driver's read, the simulated hang can be ended, so that its thread is
            // joined all the same.
            FHangEnds = true;
            FClosed = true;
            FWake.notify_all();
        }
        if (FThread.joinable()) {
            FThread.join();
            --*FSetup.OpenNow;
        }
    }

    void AddBuffer(TWaveHeader& Header) override
    {
        bool Wake = false;
        {
            std::lock_guard Lock(FMutex);
            CheckOpen();
            CheckAddBuffer(Header);
            MarkQueued(Header);
            // A flat-out thread with buffers queued already is filling them or waits for a
            // release or its grace, not for one more buffer: waking it would only cost a switch.
            Wake = FQueue.empty();
            FQueue.push_back(&Header);
        }
        if (Wake)
            WakeIfFlatOut();
    }

    void Start() override
    {
        std::lock_guard Lock(FMutex);
        CheckOpen();
        if (FStarted)
            return;
        const auto Now = std::chrono::steady_clock::now();
        // The signal went on while the device was stopped, unheard and not lost.
        if (FStoppedAt && FSetup.Pacing == TSimulatedPacing::RealTime)
            Advance(static_cast<uint64_t>(std::chrono::duration<double>(Now - *FStoppedAt).count()
                * FSetup.Format.SamplesPerSec));
        FStoppedAt.reset();
        FStarted = true;
        FChunkStart = Now;
        FNextDue = Now + FPeriod;
        FWake.notify_all();
    }

    void Stop() override
    {
        std::unique_lock Lock(FMutex);
        CheckOpen();
        if (!FStarted)
            return;
        FStarted = false;
        const auto Now = std::chrono::steady_clock::now();
        FStoppedAt = Now;
        AwaitThread(Lock); // a buffer on its way goes first, so that the order is kept
        while (TWaveHeader* Header = TakeHeard(Now))
            Deliver(Lock, wimData, Header);
    }

    void Unprepare(TWaveHeader& Header) override
    {
        TWaveInDevice::Unprepare(Header);
        bool Wake = false;
        {
            std::lock_guard Lock(FMutex);
            FHeldBySource = std::max(0, FHeldBySource - 1);
            FLastRelease = std::chrono::steady_clock::now();
            // Only the release down to FlatOutRefill starts a refill, if a buffer is queued.
            Wake = FHeldBySource == FlatOutRefill && !FQueue.empty();
        }
        if (Wake)
            WakeIfFlatOut();
    }

    void Reset() override
    {
        std::deque<TWaveHeader*> Pending;
        {
            std::unique_lock Lock(FMutex);
            FStarted = false;
            AwaitThread(Lock);
            Pending.swap(FQueue);
            FHeldBySource += static_cast<int32_t>(Pending.size());
        }
        for (TWaveHeader* Header : Pending) {
            MarkDone(*Header);
            FSetup.Callback(FSetup.Instance, wimData, Header);
        }
    }

    void Close() override
    {
        {
            std::unique_lock Lock(FMutex);
            if (!FThread.joinable())
                return;
            FClosed = true;
            FWake.notify_all();
            if (FHung)
                AwaitThread(Lock); // raises: a hung thread cannot be joined
        }
        FThread.join();
        --*FSetup.OpenNow;
    }

    std::string LastError() const override
    {
        std::lock_guard Lock(FMutex);
        return FError;
    }

    TWaveInCounters Counters() const override { return FLosses.Read(); }

private:
    // A real-time card waits only for its next period, so it is not woken for queued and
    // released buffers, as a real card is not. Called after FMutex is released, so that the
    // woken thread does not at once block on it.
    void WakeIfFlatOut()
    {
        if (FSetup.Pacing == TSimulatedPacing::FlatOut)
            FWake.notify_all();
    }

    void CheckOpen() const
    {
        if (FClosed)
            throw EWaveDeviceError("The simulated device is closed");
    }

    // Waits until the thread has let go of the buffers, for at most the fault's answer bound, and
    // raises when it does not answer; a device that did not answer once is not waited for again.
    void AwaitThread(std::unique_lock<TAudioMutex>& Lock)
    {
        if (!FUnanswered && FWake.wait_for(Lock, FSetup.Faults.AnswerBound, [&] {
                return !FDelivering && !FHung;
            }))
            return;
        FUnanswered = true;
        ++*FSetup.Unanswered;
        throw EWaveDeviceError("The simulated device does not answer");
    }

    bool HangsNow() const
    {
        return FSetup.Faults.HangAfter >= 0 && FReturned >= FSetup.Faults.HangAfter;
    }

    bool Stalled() const
    {
        return FSetup.Faults.StallAfter >= 0 && FReturned >= FSetup.Faults.StallAfter;
    }

    bool FailsNow() const
    {
        return FSetup.Faults.FailAfter >= 0 && FReturned >= FSetup.Faults.FailAfter;
    }

    // The device thread. Holds FMutex except while it calls the notification.
    void Run()
    {
        std::unique_lock Lock(FMutex);
        while (!FClosed) {
            if (FStarted && HangsNow()) {
                // As a read that never returns: nothing else happens until the device goes.
                FHung = true;
                FWake.wait(Lock, [&] { return FHangEnds; });
                return;
            }
            if (!FStarted || !FError.empty()) {
                FWake.wait(Lock);
                continue;
            }
            if (FSetup.Pacing == TSimulatedPacing::RealTime) {
                if (std::chrono::steady_clock::now() < FNextDue) {
                    FWake.wait_until(Lock, FNextDue);
                    continue;
                }
                FChunkStart = FNextDue;
                FNextDue += FPeriod + FSetup.Faults.BufferDelay;
            } else if (FQueue.empty() || Stalled()) {
                FWake.wait(Lock);
                continue;
            } else if (FSetup.Faults.BufferDelay.count() > 0
                && std::chrono::steady_clock::now() < FLastFill + FSetup.Faults.BufferDelay) {
                FWake.wait_until(Lock, FLastFill + FSetup.Faults.BufferDelay);
                continue;
            } else if (!FRefilling) {
                // Filling every buffer as soon as it is queued would let the source queue new
                // ones without end.
                const auto Due = FLastRelease + FSetup.Faults.FlatOutGrace;
                if (FHeldBySource <= FlatOutRefill)
                    FRefilling = true;
                else if (std::chrono::steady_clock::now() < Due) {
                    FWake.wait_until(Lock, Due);
                    continue;
                }
            }
            RecordOneChunk(Lock);
            if (FHeldBySource >= FlatOutAhead)
                FRefilling = false;
        }
    }

    void RecordOneChunk(std::unique_lock<TAudioMutex>& Lock)
    {
        if (FailsNow()) {
            FError = FSetup.Faults.FailError;
            Deliver(Lock, wimError, nullptr);
            return;
        }
        if (FQueue.empty() || Stalled()) {
            FGenerator.Fill(FScratch, FChunkBytes);
            ++*FSetup.Dropped;
            const uint32_t Frames = FChunkBytes / std::max<uint32_t>(1, FSetup.Format.BlockAlign);
            FLosses.Dropped(Frames, !FDropping);
            FDropping = true;
            return;
        }
        FDropping = false;
        if (FSetup.Faults.GapAfter >= 0 && FReturned == FSetup.Faults.GapAfter && !FGapDone) {
            FGapDone = true;
            SkipFrames(FSetup.Faults.GapFrames);
        }
        Deliver(Lock, wimData, Fill(FChunkBytes));
    }

    // Takes the oldest queued buffer and records Bytes (at most its length) into it.
    TWaveHeader* Fill(uint32_t Bytes)
    {
        TWaveHeader* Header = FQueue.front();
        FQueue.pop_front();
        Bytes = std::min(Bytes, Header->BufferLength);
        FGenerator.Fill(Header->Data, Bytes);
        Header->BytesRecorded = Bytes;
        MarkDone(*Header);
        ++FReturned;
        ++FHeldBySource;
        FLastFill = std::chrono::steady_clock::now();
        if (FHeldBySource > *FSetup.PeakHeld)
            *FSetup.PeakHeld = FHeldBySource;
        // The grace runs from this return too, so a source that keeps what it was given (as Flush
        // does while it waits for the queued buffers) is still served.
        FLastRelease = FLastFill;
        return Header;
    }

    // A stop in real time records what has been heard up to Now (due periods, then the current
    // one's part) into the oldest queued buffer; null once it has. Flat out records whole buffers.
    TWaveHeader* TakeHeard(std::chrono::steady_clock::time_point Now)
    {
        if (FSetup.Pacing != TSimulatedPacing::RealTime || FQueue.empty() || Stalled() || FailsNow()
            || !FError.empty() || Now <= FChunkStart)
            return nullptr;
        if (Now >= FNextDue) {
            FChunkStart = FNextDue;
            FNextDue += FPeriod + FSetup.Faults.BufferDelay;
            return Fill(FChunkBytes);
        }
        const double Part = std::chrono::duration<double>(Now - FChunkStart).count()
            / std::chrono::duration<double>(FNextDue - FChunkStart).count();
        FChunkStart = Now;
        const uint32_t Align = std::max<uint32_t>(1, FSetup.Format.BlockAlign);
        const auto Frames = static_cast<uint32_t>(Part * (FChunkBytes / Align));
        return Frames == 0 ? nullptr : Fill(Frames * Align);
    }

    // The signal goes on while Frames frames of it are lost.
    void SkipFrames(uint32_t Frames)
    {
        Advance(Frames);
        if (Frames > 0)
            FLosses.Lost(Frames, true);
    }

    // Generates Frames frames of the signal and lets them go.
    void Advance(uint64_t Frames)
    {
        const uint32_t Align = std::max<uint32_t>(1, FSetup.Format.BlockAlign);
        for (uint64_t Left = Frames * Align; Left > 0;) {
            const auto Bytes = static_cast<uint32_t>(std::min<uint64_t>(Left, FChunkBytes));
            FGenerator.Fill(FScratch, Bytes);
            Left -= Bytes;
        }
    }

    void Deliver(std::unique_lock<TAudioMutex>& Lock, TWaveInMessage Message, TWaveHeader* Header)
    {
        FDelivering = true;
        Lock.unlock();
        FSetup.Callback(FSetup.Instance, Message, Header);
        Lock.lock();
        FDelivering = false;
        FWake.notify_all();
    }

    TSetup FSetup;
    TSignalGenerator FGenerator; // under FMutex
    uint32_t FChunkBytes = WaveBufferLength;
    std::chrono::steady_clock::duration FPeriod{};
    uint8_t FScratch[WaveBufferLength]; // dropped sound is generated here
    TLossCounters FLosses; // counted by the device thread
    bool FDropping = false; // the last span was dropped; device thread
    bool FRefilling = false; // flat out: filling up to FlatOutAhead; device thread
    bool FGapDone = false; // device thread

    mutable TAudioMutex FMutex; // guards everything below
    TAudioCondition FWake;
    std::deque<TWaveHeader*> FQueue;
    bool FStarted = false;
    bool FClosed = false;
    bool FDelivering = false;
    bool FHung = false; // the thread hangs (HangAfter) and answers nothing
    bool FHangEnds = false; // set by the destructor only
    bool FUnanswered = false; // a wait for the thread has run into its bound
    std::chrono::steady_clock::time_point FLastFill{};
    int32_t FReturned = 0;
    int32_t FHeldBySource = 0; // returned and not yet released by the source
    std::chrono::steady_clock::time_point FLastRelease{};
    std::string FError;
    std::chrono::steady_clock::time_point FNextDue{};
    std::chrono::steady_clock::time_point FChunkStart{}; // the current period's start
    std::optional<std::chrono::steady_clock::time_point> FStoppedAt; // by Stop, until Start
    std::thread FThread; // last: starts when everything above is built
};

TWaveCaps CapsOf(const TSimulatedDeviceSpec& Spec)
{
    return { Spec.Name.substr(0, 31), Spec.DriverVersion, Spec.Formats, Spec.Channels };
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TSimulatedWaveBackend

TSimulatedWaveBackend::TSimulatedWaveBackend(
    std::vector<TSimulatedDeviceSpec> Inputs, std::vector<TSimulatedDeviceSpec> Outputs)
    : FInputs(std::move(Inputs))
    , FOutputs(std::move(Outputs))
{
}

void TSimulatedWaveBackend::SetSignal(TSimulatedSignal Signal)
{
    std::lock_guard Lock(FMutex);
    FSignal = std::move(Signal);
}

void TSimulatedWaveBackend::SetPacing(TSimulatedPacing Pacing)
{
    std::lock_guard Lock(FMutex);
    FPacing = Pacing;
}

void TSimulatedWaveBackend::SetFaults(TSimulatedFaults Faults)
{
    std::lock_guard Lock(FMutex);
    FFaults = std::move(Faults);
}

int32_t TSimulatedWaveBackend::LastOpenedDevice() const
{
    std::lock_guard Lock(FMutex);
    return FLastDevice;
}

TPcmFormat TSimulatedWaveBackend::LastOpenedFormat() const
{
    std::lock_guard Lock(FMutex);
    return FLastFormat;
}

int32_t TSimulatedWaveBackend::OutputDeviceCount()
{
    return static_cast<int32_t>(FOutputs.size());
}

int32_t TSimulatedWaveBackend::InputDeviceCount()
{
    std::lock_guard Lock(FMutex);
    return static_cast<int32_t>(FInputs.size());
}

void TSimulatedWaveBackend::SetInputs(std::vector<TSimulatedDeviceSpec> Inputs)
{
    std::lock_guard Lock(FMutex);
    FInputs = std::move(Inputs);
}

TSimulatedDeviceSpec TSimulatedWaveBackend::Spec(
    const std::vector<TSimulatedDeviceSpec>& Specs, int32_t Device, const char* Kind) const
{
    if (Device == WaveMapper && !Specs.empty())
        return Specs.front();
    if (Device < 0 || Device >= static_cast<int32_t>(Specs.size()))
        throw EWaveDeviceError(
            "There is no simulated " + std::string(Kind) + " device " + std::to_string(Device));
    return Specs[static_cast<size_t>(Device)];
}

TWaveCaps TSimulatedWaveBackend::OutputCaps(int32_t Device)
{
    return CapsOf(Spec(FOutputs, Device, "output"));
}

TWaveCaps TSimulatedWaveBackend::InputCaps(int32_t Device)
{
    std::lock_guard Lock(FMutex);
    return CapsOf(Spec(FInputs, Device, "input"));
}

std::string TSimulatedWaveBackend::InputId(int32_t Device)
{
    std::lock_guard Lock(FMutex);
    const TSimulatedDeviceSpec Input = Spec(FInputs, Device, "input");
    return Input.Id.empty() ? Input.Name : Input.Id;
}

std::unique_ptr<TWaveInDevice> TSimulatedWaveBackend::OpenInput(
    int32_t Device, const TPcmFormat& Format, TWaveInCallback Callback, void* Instance)
{
    std::lock_guard Lock(FMutex);
    const TSimulatedDeviceSpec Input = Spec(FInputs, Device, "input");
    if (!FFaults.OpenError.empty())
        throw EWaveDeviceError(FFaults.OpenError);
    FLastDevice = Device;
    FLastFormat = Format;
    auto Opened = std::make_unique<TSimulatedWaveInDevice>(
        TSimulatedWaveInDevice::TSetup{ Format, Input.Signal.value_or(FSignal), FPacing, FFaults,
            Callback, Instance, FOpenNow, FDropped, FPeakHeld, FUnanswered });
    ++FOpened;
    return Opened;
}
