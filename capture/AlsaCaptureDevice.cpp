// One open ALSA capture device and its capture thread.
//
// The thread takes the oldest queued buffer, reads the PCM (non-blocking, waiting in poll on the
// PCM's descriptors and on a wake-up eventfd) until the buffer is full, and hands it to the
// notification without the device's lock held; then the next one, in the order they were added.
// While no buffer is queued it leaves the sound in the ring for half the ring's time, then reads
// and drops what has come (counted), so that the ring never overruns. An overrun (-EPIPE) is
// recovered with snd_pcm_prepare and snd_pcm_start and counted; any other read error fails the
// device (wimError, LastError says why). Reading the PCM is TPcmReader's (AlsaPcmReader.cpp).
//
// Start prepares and starts the PCM on the calling thread while the capture thread is idle.
// Reset and Close write the eventfd, which wakes the thread from poll (or the condition wakes it
// from its wait); the thread drops the PCM's sound, returns every queued buffer with the bytes
// recorded so far, and goes idle (Reset) or ends (Close); the caller waits for that, at most
// one bound in all: a thread that has not answered in time is not waited for again. Stop asks
// the same way: the thread reads what the ring holds into the queued buffers, returns the one
// being filled when it holds sound, keeps the others and drops the PCM's sound; Start starts it
// again. The thread
// shares the capture's state (the PCM, the descriptor, the queue) with the device; when the
// device is destroyed while its thread does not answer (a read hung in a sound server's plugin),
// the thread is left to end by itself and releases that state then, without touching the
// caller's buffers or calling back again. The PCM is read into the capture's own block and
// copied into the caller's buffer under the lock, so that a hung read cannot write into a
// buffer that has been freed meanwhile.
#include "AlsaPcm.h"
#include "DebugLog.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <poll.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <vector>

namespace Alsa {

namespace {

// The state of one open capture device that its thread uses, and the thread's work.
class TCapture : private TPcmReader {
public:
    TCapture(const TAlsaDevice& Device, const TPcmFormat& Format, TWaveInCallback Callback,
        void* Instance)
        : TPcmReader(Format.SamplesPerSec)
        , FCallback(Callback)
        , FInstance(Instance)
        , FFrameBytes(Format.BlockAlign)
    {
        if (FFrameBytes == 0 || FFrameBytes > WaveBufferLength)
            throw EWaveDeviceError(
                "Unsupported frame size of " + std::to_string(FFrameBytes) + " bytes");
        if (int Error = FPcm.Open(Device.Pcm, SND_PCM_STREAM_CAPTURE, SND_PCM_NONBLOCK); Error < 0)
            throw EWaveDeviceError(AlsaError("Cannot open \"" + Device.Pcm + "\"", Error));
        DebugLog("ALSA: \"" + Device.Pcm + "\" opened");
        FRingFrames = ConfigureCapture(FPcm.Get(), Format);
        // The ring keeps the sound for a while; a buffer may be queued before it is lost.
        FDropAfter
            = std::chrono::milliseconds(500 * FRingFrames / std::max(1u, Format.SamplesPerSec));
        DebugLog("ALSA: configured");
        FBeforeRead = CaptureFaults().BeforeRead;
    }

    void AddBuffer(TWaveHeader& Header)
    {
        std::lock_guard Lock(FMutex);
        CheckOpen();
        CheckAddBuffer(Header);
        MarkQueued(Header);
        FQueue.push_back(&Header);
        FChanged.notify_all();
    }

    void Start()
    {
        std::lock_guard Lock(FMutex);
        CheckOpen();
        if (FStarted)
            return;
        // The thread is idle and leaves the PCM alone until FStarted is set.
        snd_pcm_drop(FPcm.Get());
        if (int Error = snd_pcm_prepare(FPcm.Get()); Error < 0)
            throw EWaveDeviceError(AlsaError("Cannot prepare the capture", Error));
        if (int Error = snd_pcm_start(FPcm.Get()); Error < 0)
            throw EWaveDeviceError(AlsaError("Cannot start the capture", Error));
        FStarted = true;
        FFirstFrames = true;
        DebugLog("ALSA: started");
        FChanged.notify_all();
    }

    void Reset() { Request(FResetRequest); }
    void Stop() { Request(FStopRequest); }
    // Asks the thread to end and waits until it has answered.
    void RequestEnd() { Request(FCloseRequest); }

    // Lets the thread end by itself: from now on it neither touches a queued buffer nor calls
    // back. Waits for a notification in progress, which is short. Caller's thread.
    void Abandon()
    {
        {
            std::lock_guard Lock(FMutex);
            FAbandoned = true;
            FCloseRequest = true;
            FInterrupt = true;
            Wake();
        }
        std::lock_guard Guard(FNotifyMutex);
    }

    // The capture thread's work, until it is asked to end.
    void Work() { Run(); }

    std::string LastError() const
    {
        std::lock_guard Lock(FMutex);
        return FError;
    }

    TWaveInCounters Counters() const { return FLosses.Read(); }

private:
    void CheckOpen() const
    {
        if (FEnded)
            throw EWaveDeviceError("The capture device is closed");
    }

    // Asks the thread to reset (or end) and waits until it has, at most until the bound of the
    // first request that is still unanswered; once a request has found the thread unanswering,
    // the next ones do not wait for it again.
    void Request(bool& Flag)
    {
        std::unique_lock Lock(FMutex);
        CheckOpen();
        if (FUnanswered)
            throw EWaveDeviceError("The capture thread does not answer");
        Flag = true;
        FInterrupt = true;
        Wake();
        if (!FAnswerDeadline)
            FAnswerDeadline = std::chrono::steady_clock::now() + CaptureFaults().AnswerBound;
        if (!FChanged.wait_until(Lock, *FAnswerDeadline, [&] { return !Flag; })) {
            FUnanswered = true;
            throw EWaveDeviceError("The capture thread does not answer");
        }
    }

    // The thread has answered every request so far.
    void Answered()
    {
        FAnswerDeadline.reset();
        FUnanswered = false;
        FChanged.notify_all();
    }

    void Wake()
    {
        const uint64_t One = 1;
        [[maybe_unused]] auto Written = write(FWake.Get(), &One, sizeof One);
        FChanged.notify_all();
    }

    // The capture thread.
    void Run()
    {
        std::unique_lock Lock(FMutex);
        for (;;) {
            if (FCloseRequest || FResetRequest) {
                ReturnQueued(Lock);
                if (FCloseRequest)
                    break;
                continue;
            }
            if (FStopRequest) {
                StopCapture(Lock);
                continue;
            }
            if (!FStarted || !FError.empty()) {
                FChanged.wait(Lock);
                continue;
            }
            if (FQueue.empty()) {
                // The ring keeps the sound for a while; a buffer may be queued before it is lost.
                if (!FChanged.wait_for(Lock, FDropAfter, [&] { return Interrupted(); }))
                    DropAvailable(Lock);
                continue;
            }
            FillFront(Lock);
        }
        FCloseRequest = false;
        FEnded = true;
        FPcm.Reset();
        Answered();
    }

    bool Interrupted() const
    {
        return !FQueue.empty() || FResetRequest || FCloseRequest || FStopRequest;
    }

    // Keeps what the ring holds, recorded before the stop, in the queued buffers, and returns
    // the one being filled when it holds sound; the others stay queued for the next start.
    void StopCapture(std::unique_lock<std::mutex>& Lock)
    {
        FInterrupt = false;
        while (FStarted && FError.empty() && !FQueue.empty() && FillFront(Lock, false)) { }
        snd_pcm_drop(FPcm.Get());
        FStarted = false;
        FDropping = false;
        if (!FAbandoned && !FQueue.empty() && FQueue.front()->BytesRecorded > 0) {
            TWaveHeader* Header = FQueue.front();
            FQueue.pop_front();
            Lock.unlock();
            Notify(wimData, Header);
            Lock.lock();
        }
        FStopRequest = false;
        FInterrupt = FCloseRequest || FResetRequest;
        Answered();
    }

    // Returns every queued buffer, as far as it is filled, and leaves the PCM idle.
    void ReturnQueued(std::unique_lock<std::mutex>& Lock)
    {
        snd_pcm_drop(FPcm.Get());
        FStarted = false;
        FDropping = false;
        std::deque<TWaveHeader*> Pending;
        Pending.swap(FQueue);
        Lock.unlock();
        for (TWaveHeader* Header : Pending)
            Notify(wimData, Header);
        Lock.lock();
        FResetRequest = false;
        FInterrupt = FCloseRequest;
        if (!FCloseRequest)
            Answered();
    }

    // Hands a buffer (marked done) or a failure to the notification, unless the device has been
    // abandoned. Capture thread, without the lock.
    void Notify(TWaveInMessage Message, TWaveHeader* Header)
    {
        std::lock_guard Guard(FNotifyMutex);
        if (FAbandoned)
            return;
        if (Header != nullptr)
            MarkDone(*Header);
        FCallback(FInstance, Message, Header);
    }

    // Reads into the oldest queued buffer until it is full or the thread is interrupted (or,
    // without Wait, nothing more has come); true when it filled and returned the buffer.
    bool FillFront(std::unique_lock<std::mutex>& Lock, bool Wait = true)
    {
        TWaveHeader* Header = FQueue.front();
        const uint32_t Length
            = std::min(Header->BufferLength, WaveBufferLength) / FFrameBytes * FFrameBytes;
        while (Header->BytesRecorded < Length && !FInterrupt) {
            Lock.unlock();
            const snd_pcm_uframes_t Frames = (Length - Header->BytesRecorded) / FFrameBytes;
            const int Result = ReadFrames(FBlock, Frames, Wait);
            Lock.lock();
            if (FAbandoned)
                return false; // the buffer may be gone
            if (Result < 0) {
                Fail(Lock, Result);
                return false;
            }
            if (Result > 0 && FFirstFrames) {
                FFirstFrames = false;
                DebugLog("ALSA: first " + std::to_string(Result) + " frames read, after "
                    + std::to_string(FIdleWakeups) + " wake-ups without sound");
                FIdleWakeups = 0;
            }
            const uint32_t Bytes = static_cast<uint32_t>(Result) * FFrameBytes;
            std::memcpy(Header->Data + Header->BytesRecorded, FBlock, Bytes);
            Header->BytesRecorded += Bytes;
            if (Result > 0)
                FDropping = false; // sound is kept again: the next loss is a new dropout
            else if (!Wait)
                break;
        }
        if (Header->BytesRecorded < Length)
            return false; // interrupted: a reset or stop returns it as far as it is filled
        FQueue.pop_front();
        Lock.unlock();
        Notify(wimData, Header);
        Lock.lock();
        return true;
    }

    // Reads and drops what the ring holds, while no buffer is queued.
    void DropAvailable(std::unique_lock<std::mutex>& Lock)
    {
        Lock.unlock();
        int Error = 0;
        // What the ring holds now, and no more: a device that always has sound (ALSA's null
        // device) must not keep the thread here.
        snd_pcm_sframes_t Left = snd_pcm_avail_update(FPcm.Get());
        if (Left < 0 && (Error = Recover(static_cast<int>(Left))) >= 0)
            Left = 0;
        while (Left > 0 && !FInterrupt) {
            const auto Chunk = std::min<snd_pcm_uframes_t>(
                static_cast<snd_pcm_uframes_t>(Left), WaveBufferLength / FFrameBytes);
            const snd_pcm_sframes_t Read = snd_pcm_readi(FPcm.Get(), FBlock, Chunk);
            if (Read > 0) {
                FLosses.Dropped(static_cast<uint64_t>(Read), !FDropping);
                FDropping = true;
                Left -= Read;
                continue;
            }
            if (Read == 0 || Read == -EAGAIN || (Error = Recover(static_cast<int>(Read))) < 0)
                break;
        }
        Lock.lock();
        if (Error < 0)
            Fail(Lock, Error);
    }

    void Fail(std::unique_lock<std::mutex>& Lock, int Error)
    {
        FError = AlsaError("Capture failed", Error);
        Lock.unlock();
        Notify(wimError, nullptr);
        Lock.lock();
    }

    TWaveInCallback FCallback;
    void* FInstance;
    uint32_t FFrameBytes;
    uint8_t FBlock[WaveBufferLength]; // the PCM is read here; capture thread only

    mutable std::mutex FMutex; // guards everything below
    std::condition_variable FChanged;
    std::deque<TWaveHeader*> FQueue;
    bool FStarted = false;
    bool FFirstFrames = false; // until the first frames of a start are read, for the debug log
    bool FResetRequest = false;
    bool FStopRequest = false;
    bool FCloseRequest = false;
    std::string FError;
    bool FEnded = false; // the thread has ended
    bool FUnanswered = false; // a request found the thread unanswering
    std::optional<std::chrono::steady_clock::time_point> FAnswerDeadline; // of the pending one
    std::atomic<bool> FAbandoned{ false }; // set under FMutex and read under it or FNotifyMutex
    std::mutex FNotifyMutex; // held around each notification
};

// An open capture device: its thread, and the capture's state shared with the thread.
class TAlsaWaveInDevice final : public TWaveInDevice {
public:
    TAlsaWaveInDevice(const TAlsaDevice& Device, const TPcmFormat& Format, TWaveInCallback Callback,
        void* Instance)
        : FCapture(std::make_shared<TCapture>(Device, Format, Callback, Instance))
    {
        if (CaptureFaults().ThreadStartFails)
            throw std::system_error(
                std::make_error_code(std::errc::resource_unavailable_try_again), "thread");
        FThread = std::thread([Capture = FCapture] { Capture->Work(); });
    }

    ~TAlsaWaveInDevice() override
    {
        try {
            Close();
        } catch (const EWaveDeviceError&) {
            // The thread did not answer within its bound. It is not waited for again: it keeps
            // the capture's state alive until it ends by itself, and leaves the buffers alone.
            FCapture->Abandon();
            FThread.detach();
        }
    }

    void AddBuffer(TWaveHeader& Header) override { FCapture->AddBuffer(Header); }
    void Start() override { FCapture->Start(); }
    void Reset() override { FCapture->Reset(); }
    void Stop() override { FCapture->Stop(); }

    void Close() override
    {
        if (!FThread.joinable())
            return;
        FCapture->RequestEnd();
        FThread.join(); // it has answered, and only returns from its loop
    }

    std::string LastError() const override { return FCapture->LastError(); }
    TWaveInCounters Counters() const override { return FCapture->Counters(); }

private:
    std::shared_ptr<TCapture> FCapture;
    std::thread FThread;
};

} // namespace

TCaptureFaults& CaptureFaults()
{
    static TCaptureFaults Faults;
    return Faults;
}

std::unique_ptr<TWaveInDevice> OpenCaptureDevice(
    const TAlsaDevice& Device, const TPcmFormat& Format, TWaveInCallback Callback, void* Instance)
{
    return std::make_unique<TAlsaWaveInDevice>(Device, Format, Callback, Instance);
}

} // namespace Alsa
